// The results of a page's links as the extension's scripts take them: one JSON text for many
// links, because the browser carries one string between the extension's parts far faster than
// many small ones. Plain C++, so that it is tried outside the browser as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "lists/found_links.h"

namespace zentrova::web {

// Characters of one link the extension opens: far above any real link (the content script
// skips longer hrefs), and what keeps a page from making the core ask for more memory than
// the browser gives it.
inline constexpr std::size_t kLongestExtensionLink = 64 * 1024;
// Characters of the lines opened in one call; the lines after them fail, so that each line
// still has its result.
inline constexpr std::size_t kMostExtensionText = 16 * 1024 * 1024;

// Returns the result of one link as a page holds it: opened as a list opens a line, except that
// a link longer than kLongestExtensionLink fails unread.
lists::LineResult OpenExtensionLink(std::u16string_view link);

// Returns, for each line of `lines` (the links as a page holds them, one a line, each without
// a line end of its own), the link opened, as the text of a JSON array of arrays: ["c" for
// converted or "p" for passed through, the readable address, the bytes the link carried
// escaped for a downloader, and, when `withNames`, the file's name or null, then true when the
// address is on this machine], ["f", the reason, in `translate`'s words] or ["b"] for a blank
// line.
std::u16string OpenLinksJson(std::u16string_view lines, bool withNames,
                             const lists::Translation& translate);

}  // namespace zentrova::web
