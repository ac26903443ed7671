// File names that every system can create as they stand: what a downloader is told to call a
// download (aria2's "out=", the JSON "name") is used as given, and Windows takes a device name
// for the device, drops a trailing dot or space, reads "C:x" as a stream of the file "C", and no
// file system holds a name of more than 255 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrova::lists {

// The longest name, in bytes of UTF-8, that file systems hold (255 UTF-16 units on NTFS, which
// 255 bytes of UTF-8 never exceed).
inline constexpr std::size_t kLongestFileName = 255;

// Whether `name` (without its extension or with any, any case, spaces around) names a Windows
// device: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9, LPT0-LPT9 and COM or LPT with a
// superscript 1, 2 or 3.
bool IsDeviceName(std::u16string_view name);

// Returns `name` as a name every system can create: each of < > : " / \ | ? * and each control
// character written as its percent escape (as escapes the name came with are kept), trailing
// dots and spaces taken off (Windows would drop them), and a name longer than kLongestFileName
// shortened before its extension, never inside a character. Nothing when no name remains or
// when it is a device name, which no escape or shortening makes a file's.
std::optional<std::u16string> SafeFileName(std::u16string_view name);

}  // namespace zentrova::lists
