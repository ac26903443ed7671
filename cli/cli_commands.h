// The command-line client's commands. Each returns the process's exit status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zentrova::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;
inline constexpr int kCancelled = 130;

// encode-file / decode-file: converts IN into OUT block by block, with a progress bar on a
// terminal and Ctrl-C to cancel.
int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   std::optional<std::int32_t> blockSize);

// link thunder|flashget|qqdl|decode: converts TEXT, or standard input when there is none.
int RunLinkCommand(const std::string& kind, const std::optional<std::string>& text);

}  // namespace zentrova::cli
