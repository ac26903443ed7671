#include "cli/progress_listener.h"

#include <string>

#include "cli/codec_words.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/file_io.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

// A bar redrawn for every block of a small block size would flood the terminal.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

void ProgressListener::Poll(Bool16& bCancel) {
  if (fileio::InterruptRequested() && !cancelled_) {
    cancelled_ = true;
    bCancel = kTrue16;
  }
}

void ProgressListener::BeforeFileOpenOut(const std::u16string&, Bool16& bCancel) {
  Poll(bCancel);
  outputOpened_ = !bCancel;
}

void ProgressListener::BlockRead(std::int32_t lngCurrentBlock, std::int32_t lngTotalBlocks,
                                 std::int32_t, Bool16& bCancel) {
  blocksDone_ = lngCurrentBlock;
  blocksTotal_ = lngTotalBlocks;
  const auto now = std::chrono::steady_clock::now();
  if (bar_ &&
      (lngCurrentBlock == lngTotalBlocks || !barOpen_ || now - lastDrawn_ >= kRedrawInterval)) {
    constexpr int kWidth = 40;
    const int filled =
        static_cast<int>(static_cast<std::int64_t>(kWidth) * lngCurrentBlock / lngTotalBlocks);
    WriteError("\r[" + std::string(filled, '=') + std::string(kWidth - filled, ' ') + "] " +
               std::to_string(lngCurrentBlock) + "/" + std::to_string(lngTotalBlocks));
    barOpen_ = true;
    lastDrawn_ = now;
  }
  Poll(bCancel);
}

void ProgressListener::ErrorOccured(std::int32_t lngCode, const std::u16string& strDescription) {
  // A stop the user asked for is a cancel, not an error.
  if (lngCode == errors::kUserInterrupt && fileio::InterruptRequested()) {
    cancelled_ = true;
    return;
  }
  EndBar();
  Complain(Say("error {0}: ", {std::to_string(lngCode)}) +
           CodecWords(strDescription, &sys::ShownName));
  ++errors_;
  // Only a block that cannot be decoded reports this number while the run goes on.
  if (lngCode == errors::kInvalidArgument) ++skippedBlocks_;
}

void ProgressListener::EndBar() {
  if (bar_ && barOpen_) WriteError("\n");
  barOpen_ = false;
}

}  // namespace zentrova::cli
