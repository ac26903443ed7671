// The three special-link formats and the pure conversions between them and plain links. They
// know nothing of text boxes or clipboards, so every front end can share them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova::links {

// Encode or Decode of the codec, handed in so that the caller decides when the codec is made.
using TextTransform = std::function<std::u16string(const std::u16string&)>;

enum class LinkKind { kThunder, kFlashGet, kQQWhirlwind };

inline constexpr std::u16string_view kHttp = u"http://";
inline constexpr std::u16string_view kNotHttpLink = u"剪切板文本不是HTTP链接";
inline constexpr std::u16string_view kNotSpecialLink = u"剪切板文本不是专用链接";

// Returns the scheme prefix of `kind` in lower case, "thunder://" and so on.
std::u16string_view Prefix(LinkKind kind);

// Returns true when `needle` (lower case) occurs anywhere in a lower-cased copy of `text`.
bool Holds(std::u16string_view text, std::u16string_view needle);

// Returns `text` from its 1-based `position` on; "" when the text is shorter.
std::u16string From(std::u16string_view text, std::size_t position);

// Returns the special link of `kind` for `source`, or nothing when `source` holds no
// "http://". Calls `encode` once, on the payload.
std::optional<std::u16string> MakeSpecialLink(LinkKind kind, std::u16string_view source,
                                              const TextTransform& encode);

// What the decoder opened: the text, and whether any layer was opened to get it (a text that
// holds no prefix comes back as it was given).
struct Opened {
  std::u16string text;
  bool layerOpened = false;
};

// Returns the text that `source` stands for, opening Thunder, then FlashGet, then QQ Whirlwind
// layers in that order; nothing when the result holds no "http://". Characters are not checked.
std::optional<Opened> OpenLayers(std::u16string_view source, const TextTransform& decode);

// Returns the plain link that `source` stands for, as OpenLayers does; nothing also when a layer
// was opened and the result holds a control, invisible or direction character.
std::optional<std::u16string> OpenSpecialLink(std::u16string_view source,
                                              const TextTransform& decode);

}  // namespace zentrova::links
