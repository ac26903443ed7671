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
// terminal and Ctrl-C to cancel. `blockSize` is the --block-size value as given.
int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   const std::optional<std::string>& blockSize);

// link thunder|flashget|qqdl|decode: converts TEXT, or standard input when there is none.
// Characters the code page cannot hold fail the conversion unless `lossy`.
int RunLinkCommand(const std::string& kind, const std::optional<std::string>& text, bool lossy);

// Writes "zentrova-cli: PROBLEM" and the usage text on standard error; returns kUsage.
int Usage(const std::string& problem);

}  // namespace zentrova::cli
