// One list, line after line, as every front end converts it: the lines cut from text that
// arrives in pieces, each line's bytes read as the list's earlier lines decide, each line
// converted, and the counts. The front ends keep only reading their input and showing results.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "lists/found_links.h"
#include "lists/list_lines.h"

namespace zentrova::lists {

// What a run does with each line: open the special link in it, or make one of a kind.
enum class ListMode { kDecode, kThunder, kFlashGet, kQQWhirlwind };

// Returns the kind of link that `mode` makes; nothing for kDecode.
std::optional<links::LinkKind> KindMade(ListMode mode);

// The longest line a list converts, in bytes (or characters of typed text): far beyond any real
// link (the lists page stops at the same length), and what stops a list of one endless line from
// taking all memory.
inline constexpr std::size_t kLongestLine = std::size_t{64} << 20;

// Cuts text that arrives in pieces into lines. LF, CR LF and a lone CR each end a line (old Mac
// files and some saved pages end lines in CR), also when a CR LF is split between two pieces;
// a last line without an end counts too. A line longer than `longest` is never held: `tooLong`
// hears of it instead of `take`, as soon as it is known, and the rest of it is passed over.
template <typename Char>
class LineSplitter {
  struct NoOneListens {
    void operator()() const {}
  };

 public:
  explicit LineSplitter(std::size_t longest = std::basic_string<Char>::npos) : longest_(longest) {}

  // Hands `take` each line that `piece` completes, without its end. A line that lies wholly
  // inside `piece` is handed over where it stands, without a copy, as a string view; a line
  // gathered from several pieces as the string that holds it, an rvalue, so that a `take` that
  // accepts one may keep it or let go of its memory before it converts (a line near the limit
  // is tens of megabytes). A `take` that accepts only a view sees it as one.
  template <typename Take, typename TooLong = NoOneListens>
  void Feed(std::basic_string_view<Char> piece, Take&& take, TooLong&& tooLong = {}) {
    std::size_t start = 0;
    if (afterCr_ && !piece.empty() && piece.front() == Char('\n')) start = 1;
    if (!piece.empty()) afterCr_ = false;
    for (std::size_t at = start; at < piece.size(); ++at) {
      const Char c = piece[at];
      if (c != Char('\n') && c != Char('\r')) continue;
      if (skipping_) {
        skipping_ = false;  // the end of a line already refused
      } else if (pending_.size() + (at - start) > longest_) {
        Forget();
        tooLong();
      } else if (pending_.empty() && !pendingLine_) {
        take(piece.substr(start, at - start));
      } else {
        pending_.append(piece.substr(start, at - start));
        TakePending(take);
      }
      if (c == Char('\r')) {
        if (at + 1 == piece.size()) {
          afterCr_ = true;
        } else if (piece[at + 1] == Char('\n')) {
          ++at;
        }
      }
      start = at + 1;
    }
    if (start < piece.size() && !skipping_) {
      if (pending_.size() + (piece.size() - start) > longest_) {
        Forget();
        skipping_ = true;
        tooLong();
      } else {
        pending_.append(piece.substr(start));
        pendingLine_ = true;
      }
    }
  }

  // Hands `take` the last line when the text did not end with a line end.
  template <typename Take>
  void Finish(Take&& take) {
    if (pendingLine_) TakePending(take);
    pending_.clear();
    pendingLine_ = false;
    afterCr_ = false;
    skipping_ = false;
  }

  // Returns how many characters of an unfinished line are held.
  std::size_t pending() const { return pending_.size(); }

 private:
  // Hands the gathered line over as its string and starts the next one afresh.
  template <typename Take>
  void TakePending(Take& take) {
    std::basic_string<Char> line;
    line.swap(pending_);
    pendingLine_ = false;
    take(std::move(line));
  }

  // Lets go of the unfinished line, and of the memory it took.
  void Forget() {
    // Swapped, not assigned: libstdc++ keeps a string's memory when an empty one is moved in.
    std::basic_string<Char>().swap(pending_);
    pendingLine_ = false;
  }

  std::size_t longest_;
  std::basic_string<Char> pending_;
  bool pendingLine_ = false;  // a line has begun that no line end has closed yet
  bool afterCr_ = false;      // the last piece ended in CR: an LF first in the next is its own
  bool skipping_ = false;     // passing over the rest of a line too long to hold
};

struct ListCounts {
  long lines = 0;
  long converted = 0;
  long passedThrough = 0;
  long failed = 0;
};

class ListRun {
 public:
  ListRun(ListMode mode, Charset charset);

  // Returns the result of the next line given as a file's bytes, UTF-8 or GBK (without its
  // end); a line that is neither fails.
  LineResult Bytes(std::string_view line);

  // The same for a line the caller gives up: its bytes are let go of once they are text, before
  // the line is converted, and the text becomes the result.
  LineResult BytesInPlace(std::string&& line);

  // Returns the result of the next line given as text, typed or pasted (without its end).
  LineResult Text(std::u16string_view line);

  // Returns the failure of the next line, which was longer than kLongestLine and not read.
  LineResult TooLong();

  const ListCounts& counts() const { return counts_; }

 private:
  LineResult Counted(LineResult result);

  ListMode mode_;
  Charset charset_;
  ListLineReader reader_;
  ListCounts counts_;
};

}  // namespace zentrova::lists
