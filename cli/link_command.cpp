// link: one text, from the command line or standard input, made into a link or opened, as the
// window does it.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "checks/verdict_words.h"
#include "cli/cli_commands.h"
#include "cli/codec_words.h"
#include "cli/system.h"
#include "cli/terminal.h"
#include "codec/base64.h"
#include "codec/code_page.h"
#include "codec/file_io.h"
#include "codec/utf8.h"
#include "links/lazy_codec.h"
#include "links/link_formats.h"
#include "links/unsafe_characters.h"
#include "lists/download_address.h"
#include "lists/list_run.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

// Returns all of standard input, or nothing (having said why) when it cannot be read or holds
// more than a list takes on a line: an endless input (</dev/zero, `yes |`) would otherwise take
// all memory, and no link comes near that length.
std::optional<std::string> ReadStandardInput() {
  constexpr std::size_t kLongest = lists::kLongestLine;
  std::string text;
  // A file's size is known: read it into exactly that much memory.
  if (const auto size = sys::RegularFileSize(sys::Stream::kIn); size && *size > 0) {
    text.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*size, kLongest + 1)));
  }
  // One byte past the limit tells a text too long from one just long enough.
  while (text.size() <= kLongest) {
    if (text.size() == text.capacity()) {
      // Straight to the limit once doubling would reach it: a string grown by one byte past a
      // full buffer takes twice that buffer.
      const std::size_t doubled = std::max<std::size_t>(65536, text.size() * 2);
      text.reserve(doubled >= kLongest ? kLongest + 1 : doubled);
    }
    const std::size_t size = text.size();
    text.resize(text.capacity());
    const long got = sys::Read(sys::StandardInput(), text.data() + size, text.size() - size);
    text.resize(size + static_cast<std::size_t>(std::max<long>(got, 0)));
    if (got == 0) {
      return text;
    } else if (got < 0 && errno != EINTR) {
      Complain(Say("cannot read standard input: {0}", {sys::ErrorText(errno)}));
      return std::nullopt;
    }
  }
  Complain(
      Say("standard input holds more than {0} MB, more than a list takes on a line; nothing "
          "was converted",
          {std::to_string(kLongest >> 20)}));
  return std::nullopt;
}

// Takes the text as the window takes its input box's: without the spaces, tabs and line ends
// around it, which a shell or `echo` adds.
void Trim(std::u16string& text) {
  constexpr std::u16string_view kBlank = u" \t\r\n";
  const auto last = text.find_last_not_of(kBlank);
  text.erase(last == std::u16string::npos ? 0 : last + 1);
  text.erase(0, text.find_first_not_of(kBlank) == std::u16string::npos
                    ? text.size()
                    : text.find_first_not_of(kBlank));
}

// Says which characters would become "?"; returns true when there are any.
bool ReportLostCharacters(std::u16string_view source) {
  const std::u32string lost = codepage::Unrepresentable(source);
  if (lost.empty()) return false;
  std::string list;
  for (const char32_t c : lost) {
    if (!list.empty()) list += ", ";
    list += CodePointName(c);
  }
  Complain(
      Say("code page 936 cannot hold {0}; each would become '?' (--lossy accepts that)", {list}));
  return true;
}

// The text to convert: the argument, or standard input; nothing (having said why) when it
// cannot be read.
std::optional<std::u16string> SourceText(const std::optional<std::string>& text) {
  if (text) return FromUtf8(*text);
  const auto input = ReadStandardInput();
  if (!input) return std::nullopt;
  return FromUtf8(*input);
}

// What the window would show for `source`, and whether a link's layer was opened (the result is
// then what the link carried). Nothing when the codec fails, having said why; an empty result
// when `source` is neither an address nor a special link.
struct Converted {
  std::optional<std::u16string> text;
  bool opened = false;
};
std::optional<Converted> Convert(std::optional<links::LinkKind> make,
                                 const std::u16string& source) {
  // Made when first needed, as in the window; a codec without its component fails here.
  std::unique_ptr<Base64> codec;
  Converted converted;
  try {
    if (make) {
      converted.text =
          links::MakeSpecialLink(*make, source, links::Through(codec, &Base64::Encode));
    } else if (auto layers = links::OpenLayers(source, links::Through(codec, &Base64::Decode))) {
      converted.text = std::move(layers->text);
      converted.opened = layers->layerOpened;
    }
  } catch (const CodecError& e) {
    Complain(Say("error {0}: ", {std::to_string(e.code())}) +
             CodecWords(e.description(), &sys::ShownName));
    return std::nullopt;
  }
  // What the codec could not do, it recorded: a result made without it is no result.
  if (codec && codec->LastErrorCode() != 0) {
    Complain(Say("error {0}: ", {std::to_string(codec->LastErrorCode())}) +
             CodecWords(codec->LastErrorDescription(), &sys::ShownName));
    if (codec->LastErrorCode() == errors::kOutOfMemory || converted.text) return std::nullopt;
  }
  return converted;
}

// Says why an opened address is not written, and returns true, when it holds a character no one
// could see, as lists refuse it; the reason names the character.
bool RefusedAsUnsafe(const std::u16string& address, bool opened) {
  if (const auto unsafe = links::FirstUnsafeCharacter(address)) {
    const std::string name = CodePointName(unsafe->value);
    const std::string at = std::to_string(unsafe->at + 1);
    Complain(unsafe->kind == links::UnsafeCharacter::Kind::kControl
                 ? Say("the address holds the control character {0} at position {1}; it is not "
                       "written",
                       {name, at})
                 : Say("the address holds the invisible or direction character {0} at position "
                       "{1}; it is not written",
                       {name, at}));
    return true;
  }
  // What a link carried is refused too when its bytes, read as UTF-8 rather than in the code
  // page, hold such a character: a server or a downloader may read them so.
  if (const auto unsafe = opened ? links::FirstUnsafeCodePageByte(address) : std::nullopt) {
    const std::string name = CodePointName(unsafe->value);
    Complain(unsafe->kind == links::UnsafeCharacter::Kind::kControl
                 ? Say("the address holds the control character {0}", {name})
                 : Say("the address holds the invisible or direction character {0}", {name}));
    return true;
  }
  return false;
}

// Writes the opened address `address` (UTF-8), a tab and its verdict; an address that will not
// download ends with kFailure, so that a script can go on only with one that may.
int WriteChecked(std::string address, const CheckRequest& check) {
  fileio::ClearInterrupt();
  sys::CatchInterrupt();
  std::optional<checks::Verdict> verdict;
  {
    AddressChecks checks(check);
    checks.run().Add(lists::DownloaderUri(address));
    if (checks.WaitForFront()) verdict = checks.run().TakeFront();
  }
  sys::ReleaseInterrupt();
  if (!verdict) {
    Complain(Say("cancelled before the address was checked"));
    return kCancelled;
  }
  address += '\t';
  address += checks::VerdictWords(
      *verdict, [](const std::string& english) { return std::string(Translate(english.c_str())); });
  address += '\n';
  if (!WriteOut(address)) return kFailure;
  return checks::WorthDownloading(verdict->state) ? kSuccess : kFailure;
}

}  // namespace

int RunLinkCommand(std::optional<links::LinkKind> make, const std::optional<std::string>& text,
                   bool lossy, const std::optional<CheckRequest>& check) {
  auto source = SourceText(text);
  if (!source) return kFailure;
  Trim(*source);
  if (make && !lossy && ReportLostCharacters(*source)) return kFailure;
  auto converted = Convert(make, *source);
  source.reset();
  if (!converted) return kFailure;
  std::optional<std::u16string>& result = converted->text;
  if (!result) {
    Complain(make ? Say("the text holds no http:// address")
                  : Say("the text is not a special link"));
    return kFailure;
  }
  if (!make && RefusedAsUnsafe(*result, converted->opened)) return kFailure;
  std::string line = ToUtf8(*result);
  result.reset();
  if (check) return WriteChecked(std::move(line), *check);
  line += '\n';
  return WriteOut(line) ? kSuccess : kFailure;
}

}  // namespace zentrova::cli
