// A listener that writes down every event it hears, with its arguments, as one line each.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "codec/base64.h"

namespace zentrova::testing {

inline std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '~';
  return out;
}

class EventRecorder : public Base64Events {
 public:
  explicit EventRecorder(std::string name = {}) : name_(std::move(name)) {}

  std::vector<std::string> events;
  // Set to cancel at the event whose line starts with this text.
  std::string cancelAt;
  // Runs inside ErrorOccured, to look at the codec while the event is raised.
  std::function<void(std::int32_t)> onError;
  std::int32_t lastCode = 0;
  std::u16string lastDescription;

  void BlockRead(std::int32_t current, std::int32_t total, std::int32_t mode,
                 Bool16& bCancel) override {
    Note("BlockRead " + std::to_string(current) + "/" + std::to_string(total) + " mode " +
             std::to_string(mode),
         &bCancel);
  }
  void FileDecodeComplete(std::u16string& original, std::u16string& decoded) override {
    Note("FileDecodeComplete " + Narrow(original) + " -> " + Narrow(decoded));
  }
  void FileEncodeComplete(std::u16string& original, std::u16string& encoded) override {
    Note("FileEncodeComplete " + Narrow(original) + " -> " + Narrow(encoded));
  }
  void ErrorOccured(std::int32_t code, const std::u16string& description) override {
    lastCode = code;
    lastDescription = description;
    Note("ErrorOccured " + std::to_string(code));
    if (onError) onError(code);
  }
  void BeforeFileOpenIn(const std::u16string& name, Bool16& bCancel) override {
    Note("BeforeFileOpenIn " + Narrow(name), &bCancel);
  }
  void BeforeFileOpenOut(const std::u16string& name, Bool16& bCancel) override {
    Note("BeforeFileOpenOut " + Narrow(name), &bCancel);
  }
  void AfterFileCloseIn(const std::u16string& name) override {
    Note("AfterFileCloseIn " + Narrow(name));
  }
  void AfterFileCloseOut(const std::u16string& name) override {
    Note("AfterFileCloseOut " + Narrow(name));
  }

 private:
  void Note(const std::string& line, Bool16* bCancel = nullptr) {
    events.push_back(name_.empty() ? line : name_ + ": " + line);
    if (bCancel && !cancelAt.empty() && line.rfind(cancelAt, 0) == 0) *bCancel = kTrue16;
  }

  std::string name_;
};

}  // namespace zentrova::testing
