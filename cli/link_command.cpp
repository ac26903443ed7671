#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>

#include "cli/cli_commands.h"
#include "codec/base64.h"
#include "codec/utf8.h"
#include "links/lazy_codec.h"
#include "links/link_formats.h"

namespace zentrova::cli {
namespace {

// Standard input without the one line ending that `echo` and most tools put after a line.
std::string ReadStandardInput() {
  std::string text(std::istreambuf_iterator<char>(std::cin), {});
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

}  // namespace

int RunLinkCommand(const std::string& kind, const std::optional<std::string>& text) {
  using links::LinkKind;
  std::optional<LinkKind> make;
  if (kind == "thunder") {
    make = LinkKind::kThunder;
  } else if (kind == "flashget") {
    make = LinkKind::kFlashGet;
  } else if (kind == "qqdl") {
    make = LinkKind::kQQWhirlwind;
  } else if (kind != "decode") {
    std::fprintf(stderr, "zentrova-cli: unknown link kind '%s'\n", kind.c_str());
    return kUsage;
  }

  const std::u16string source = FromUtf8(text ? *text : ReadStandardInput());
  // Made when first needed, as in the window; a codec without its component fails here.
  std::unique_ptr<Base64> codec;
  try {
    const auto result =
        make ? links::MakeSpecialLink(*make, source, links::Through(codec, &Base64::Encode))
             : links::OpenSpecialLink(source, links::Through(codec, &Base64::Decode));
    if (!result) {
      const auto failure = make ? links::kNotHttpLink : links::kNotSpecialLink;
      std::fprintf(stderr, "%s\n", ToUtf8(failure).c_str());
      return kFailure;
    }
    std::printf("%s\n", ToUtf8(*result).c_str());
    return kSuccess;
  } catch (const CodecError& e) {
    std::fprintf(stderr, "zentrova-cli: error %d: %s\n", e.code(), ToUtf8(e.description()).c_str());
    return kFailure;
  }
}

}  // namespace zentrova::cli
