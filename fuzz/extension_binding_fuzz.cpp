// The extension's results for arbitrary lines, as its background and content scripts take
// them: whatever the lines hold, the text is JSON (checked by a reader of its own here, strict
// as JSON.parse), an array of one array per line, each led by "c", "p", "f" or "b".
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codec/utf8.h"
#include "web/extension/results.h"

namespace {

// A reader of JSON text that only says whether it is JSON, and where it is not, stops the
// fuzzer with the text's place.
class JsonReader {
 public:
  explicit JsonReader(std::u16string_view text) : text_(text) {}

  // Reads the whole text as one array of arrays, each led by one of the statuses; returns how
  // many it holds.
  long Results() {
    Space();
    if (!Take(u'[')) Fail();
    long count = 0;
    Space();
    if (!Take(u']')) {
      do {
        Space();
        Result();
        ++count;
        Space();
      } while (Take(u','));
      if (!Take(u']')) Fail();
    }
    Space();
    if (at_ != text_.size()) Fail();
    return count;
  }

 private:
  void Result() {
    if (!Take(u'[')) Fail();
    Space();
    const std::size_t start = at_;
    String();
    const std::u16string_view status = text_.substr(start, at_ - start);
    if (status != u"\"c\"" && status != u"\"p\"" && status != u"\"f\"" && status != u"\"b\"") {
      Fail();
    }
    Space();
    while (Take(u',')) {
      Space();
      Value();
      Space();
    }
    if (!Take(u']')) Fail();
  }

  void Value() {
    if (at_ >= text_.size()) Fail();
    const char16_t c = text_[at_];
    if (c == u'"') return String();
    if (c == u'[' || c == u'{') return Container();
    for (const std::u16string_view word : {u"true", u"false", u"null"}) {
      if (text_.substr(at_, word.size()) == word) {
        at_ += word.size();
        return;
      }
    }
    Number();
  }

  void Container() {
    const char16_t close = text_[at_] == u'[' ? u']' : u'}';
    ++at_;
    Space();
    if (Take(close)) return;
    do {
      Space();
      if (close == u'}') {
        String();
        Space();
        if (!Take(u':')) Fail();
        Space();
      }
      Value();
      Space();
    } while (Take(u','));
    if (!Take(close)) Fail();
  }

  void String() {
    if (!Take(u'"')) Fail();
    while (at_ < text_.size() && text_[at_] != u'"') {
      const char16_t c = text_[at_++];
      // Raw controls are not JSON; a lone surrogate would not survive the browser's messages
      // (a pair, one character, does).
      if (c < 0x20 || (c >= 0xDC00 && c <= 0xDFFF)) Fail();
      if (c >= 0xD800 && c <= 0xDBFF) {
        if (at_ >= text_.size() || text_[at_] < 0xDC00 || text_[at_] > 0xDFFF) Fail();
        ++at_;
        continue;
      }
      if (c != u'\\') continue;
      if (at_ >= text_.size()) Fail();
      const char16_t escaped = text_[at_++];
      if (escaped == u'u') {
        for (int i = 0; i < 4; ++i) {
          if (at_ >= text_.size() || !IsHex(text_[at_++])) Fail();
        }
      } else if (std::u16string_view(u"\"\\/bfnrt").find(escaped) == std::u16string_view::npos) {
        Fail();
      }
    }
    if (!Take(u'"')) Fail();
  }

  void Number() {
    const std::size_t start = at_;
    Take(u'-');
    if (!Digits()) Fail();
    if (Take(u'.') && !Digits()) Fail();
    if (Take(u'e') || Take(u'E')) {
      if (!Take(u'+')) Take(u'-');
      if (!Digits()) Fail();
    }
    if (at_ == start) Fail();
  }

  bool Digits() {
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] >= u'0' && text_[at_] <= u'9') ++at_;
    return at_ > start;
  }

  static bool IsHex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
  }

  void Space() {
    while (at_ < text_.size() && (text_[at_] == u' ' || text_[at_] == u'\t' ||
                                  text_[at_] == u'\n' || text_[at_] == u'\r')) {
      ++at_;
    }
  }

  bool Take(char16_t c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  [[noreturn]] void Fail() const {
    std::fprintf(stderr, "not JSON at character %zu of %zu\n", at_, text_.size());
    std::abort();
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
};

std::string English(const std::string& english) { return english; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zentrova;
  // UTF-8, each byte outside a character as a lone surrogate, as a page's hrefs may hold.
  const std::u16string lines =
      FromNativeName(std::string_view(reinterpret_cast<const char*>(data), size));
  long expected = 1;
  for (const char16_t c : lines) expected += c == u'\n';
  for (const bool withNames : {false, true}) {
    const std::u16string json = web::OpenLinksJson(lines, withNames, &English);
    if (JsonReader(json).Results() != expected) {
      std::fprintf(stderr, "%ld lines, but not as many results\n", expected);
      std::abort();
    }
  }
  return 0;
}
