// The command-line client's commands. Each returns the process's exit status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/address_checks.h"
#include "lists/found_links.h"
#include "lists/list_names.h"

namespace zentrova::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailure = 1;
inline constexpr int kUsage = 2;
inline constexpr int kCancelled = 130;

// encode-file / decode-file: converts IN into OUT block by block, with a progress bar on a
// terminal and Ctrl-C to cancel. `blockSize` is the --block-size value as given.
int RunFileCommand(bool encode, const std::string& in, const std::string& out,
                   const std::optional<std::string>& blockSize);

// link thunder|flashget|qqdl|decode: makes a link of kind `make`, or opens one when there is
// none, from TEXT or standard input. Characters the code page cannot hold fail the conversion
// unless `lossy`. With `check`, an opened address is followed by a tab and its verdict, and one
// that is dead or refused ends with kFailure.
int RunLinkCommand(std::optional<links::LinkKind> make, const std::optional<std::string>& text,
                   bool lossy, const std::optional<CheckRequest>& check);

// batch thunder|flashget|qqdl|decode: converts every line of the files (standard input when
// there are none, or for "-"), writing one line for each, or the list in another form. With
// `check`, each address's verdict goes with it, and the downloaders' forms leave out what is
// dead or refused.
int RunBatchCommand(const lists::ListWork& work, const std::vector<std::string>& files,
                    const std::optional<CheckRequest>& check);

// Writes "zentrova-cli: PROBLEM" and the usage text on standard error; returns kUsage.
int Usage(const std::string& problem);

}  // namespace zentrova::cli
