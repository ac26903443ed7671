// Listens to a file run: draws a progress bar, and asks the run to stop once Ctrl-C is pressed.
#pragma once

#include <csignal>
#include <cstdio>

#include "codec/base64.h"

namespace zentrova::cli {

class ProgressListener : public Base64Events {
 public:
  // `interrupted` is set by the SIGINT handler; `bar` is null when nothing is to be drawn.
  ProgressListener(volatile std::sig_atomic_t& interrupted, std::FILE* bar)
      : interrupted_(interrupted), bar_(bar) {}

  void BeforeFileOpenIn(const std::u16string&, Bool16& bCancel) override { Poll(bCancel); }
  void BeforeFileOpenOut(const std::u16string&, Bool16& bCancel) override { Poll(bCancel); }
  void BlockRead(std::int32_t lngCurrentBlock, std::int32_t lngTotalBlocks, std::int32_t,
                 Bool16& bCancel) override;
  void AfterFileCloseIn(const std::u16string&) override;

  bool cancelled() const { return cancelled_; }
  std::int32_t blocksDone() const { return blocksDone_; }
  std::int32_t blocksTotal() const { return blocksTotal_; }

 private:
  void Poll(Bool16& bCancel);

  volatile std::sig_atomic_t& interrupted_;
  std::FILE* bar_;
  bool cancelled_ = false;
  bool drawn_ = false;
  std::int32_t blocksDone_ = 0;
  std::int32_t blocksTotal_ = 0;
};

}  // namespace zentrova::cli
