// The results of a page's links as the extension's scripts take them: one JSON text for many
// links, because the browser carries one string between the extension's parts far faster than
// many small ones. Plain C++, so that it is tried outside the browser as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zentrova::web {

// Characters of one link the extension opens: far above any real link (the content script
// skips longer hrefs), and what keeps a page from making the core ask for more memory than
// the browser gives it.
inline constexpr std::size_t kLongestExtensionLink = 64 * 1024;
// Characters of the lines opened in one call; the lines after them fail, so that each line
// still has its result.
inline constexpr std::size_t kMostExtensionText = 16 * 1024 * 1024;

// Returns `english` (a sentence of the catalogues) in the words the extension speaks.
using Words = std::string_view (*)(std::string_view english, bool chinese);

// Returns, for each line of `lines` (the links as a page holds them, one a line, each without
// a line end of its own), the link opened, as the text of a JSON array of arrays: ["c" for
// converted or "p" for passed through, the readable address, the bytes the link carried
// escaped for a downloader, and, when `withNames`, the file's name or null, then true when the
// address is on this machine], ["f", the reason, in Chinese when `chinese`] or ["b"] for a
// blank line.
std::u16string OpenLinksJson(std::u16string_view lines, bool chinese, bool withNames, Words words);

}  // namespace zentrova::web
