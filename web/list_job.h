// A list as the pages convert it: fed in pieces (a file's bytes, or a typed text), cut into
// lines and converted by the core's one list run, each piece's results handed back compactly
// for the page to keep: the result lines' UTF-8 text (or the list in a downloader's form, as
// the core's hand-off writes it), where every 64th line starts, which lines failed and why, and
// which the form left out. Only converts data between JavaScript and the core.
#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "lists/hand_off.h"
#include "lists/list_names.h"
#include "lists/list_run.h"

namespace zentrova::web {

class ListJob {
 public:
  // `mode`, `charset` and `form` are named as `zentrova-cli batch` names them (an unknown
  // name, or a form that cannot hold the mode's results, throws); failure reasons and notes
  // are said in Chinese when `chinese`. A line whose unfinished part grows past `longestLine`
  // bytes (a file's) or UTF-16 units (a text's) stops the run.
  ListJob(const std::string& mode, const std::string& charset, bool chinese, double longestLine,
          const std::string& form = "lines");

  // Convert the lines that a piece completes. Each returns the piece's results:
  //   text: Uint8Array, what `batch --to FORM` writes for the piece's lines: in the lines form
  //     every result line followed by LF (a failed or blank line is empty);
  //   lines: how many lines the piece completed;
  //   marks: Uint32Array, in the lines form the offset in `text` of lines 0, 64, 128, … of the
  //     piece; empty in the other forms, whose text has no line for each line;
  //   reasons: null when no line failed, else one number a line (Uint8Array, Uint16Array or
  //     Uint32Array, the narrowest that holds them): 0, or 1 + the index of its reason among
  //     all reasons this job has said;
  //   newReasons: the reasons said for the first time in this piece, in index order;
  //   notes: [{line, words}] for the lines of the piece that the form left out (an ed2k
  //     address in aria2's file), among the job's first kMostNotes such lines;
  //   leftOut: how many lines the form has left out so far;
  //   counts: {lines, converted, passedThrough, failed} so far;
  //   stop: null, or why the job cannot go on: {why: "tooLong", line} when a line grew past
  //     `longestLine`, {why: "memory"} when memory ran out. After a stop the job takes nothing.
  emscripten::val FeedBytes(const emscripten::val& piece);
  emscripten::val FeedText(const std::u16string& piece);
  // The last line, when the input did not end with a line end.
  emscripten::val Finish();

 private:
  // Notes handed over in all: a list of a million ed2k links would otherwise cost the page a
  // million sentences to say what one says.
  static constexpr std::size_t kMostNotes = 1000;
  struct Note {
    long line;
    std::string words;
  };

  ListJob(const lists::ListWork& work, bool chinese, double longestLine);

  template <typename Feed>
  emscripten::val Piece(Feed&& feed);
  void Take(const lists::LineResult& result);

  lists::ListRun run_;
  lists::HandOffForm form_;
  lists::HandOff handOff_;
  lists::Translation translate_;  // into the language the job speaks
  std::size_t longestLine_;
  lists::LineSplitter<char> bytes_;
  lists::LineSplitter<char16_t> text_;
  std::string piece_;  // a file's piece, copied in from JavaScript
  bool stopped_ = false;

  // The results of the piece being converted.
  std::string out_;
  std::size_t lineEnd_ = 0;  // where the last whole line of `out_` ends
  std::vector<std::uint32_t> marks_;
  std::vector<std::uint32_t> reasons_;
  bool anyFailed_ = false;
  std::vector<std::string> newReasons_;
  std::vector<Note> notes_;
  std::size_t notesSaid_ = 0;
  long leftOut_ = 0;

  std::unordered_map<std::string, std::uint32_t> reasonIndex_;
};

}  // namespace zentrova::web
