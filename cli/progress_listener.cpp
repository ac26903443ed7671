#include "cli/progress_listener.h"

namespace zentrova::cli {

void ProgressListener::Poll(Bool16& bCancel) {
  if (interrupted_ && !cancelled_) {
    cancelled_ = true;
    bCancel = kTrue16;
  }
}

void ProgressListener::BlockRead(std::int32_t lngCurrentBlock, std::int32_t lngTotalBlocks,
                                 std::int32_t, Bool16& bCancel) {
  blocksDone_ = lngCurrentBlock;
  blocksTotal_ = lngTotalBlocks;
  if (bar_) {
    constexpr int kWidth = 40;
    const int filled =
        static_cast<int>(static_cast<std::int64_t>(kWidth) * lngCurrentBlock / lngTotalBlocks);
    std::fprintf(bar_, "\r[%.*s%.*s] %d/%d", filled,
                 "========================================", kWidth - filled,
                 "                                        ", lngCurrentBlock, lngTotalBlocks);
    std::fflush(bar_);
    drawn_ = true;
  }
  Poll(bCancel);
}

void ProgressListener::AfterFileCloseIn(const std::u16string&) {
  if (bar_ && drawn_) std::fputc('\n', bar_);
}

}  // namespace zentrova::cli
