// What a person sees of a file run: a progress bar on a terminal, every error the codec raises
// on a line of its own, and a cancel once Ctrl-C has been pressed.
#pragma once

#include <chrono>

#include "codec/base64.h"

namespace zentrova::cli {

class ProgressListener : public Base64Events {
 public:
  // `bar`: whether a bar is drawn on standard error.
  explicit ProgressListener(bool bar) : bar_(bar) {}

  void BeforeFileOpenIn(const std::u16string&, Bool16& bCancel) override { Poll(bCancel); }
  void BeforeFileOpenOut(const std::u16string&, Bool16& bCancel) override;
  void BlockRead(std::int32_t lngCurrentBlock, std::int32_t lngTotalBlocks, std::int32_t,
                 Bool16& bCancel) override;
  void ErrorOccured(std::int32_t lngCode, const std::u16string& strDescription) override;
  void AfterFileCloseIn(const std::u16string&) override { EndBar(); }

  bool cancelled() const { return cancelled_; }
  bool outputOpened() const { return outputOpened_; }
  std::int32_t blocksDone() const { return blocksDone_; }
  std::int32_t blocksTotal() const { return blocksTotal_; }
  int errors() const { return errors_; }
  int skippedBlocks() const { return skippedBlocks_; }

 private:
  void Poll(Bool16& bCancel);
  void EndBar();

  bool bar_;
  bool cancelled_ = false;
  bool outputOpened_ = false;
  bool barOpen_ = false;  // a bar has been drawn and its line not ended
  std::chrono::steady_clock::time_point lastDrawn_;
  std::int32_t blocksDone_ = 0;
  std::int32_t blocksTotal_ = 0;
  int errors_ = 0;
  int skippedBlocks_ = 0;
};

}  // namespace zentrova::cli
