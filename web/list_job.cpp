#include "web/list_job.h"

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>

#include "lists/handed_line.h"
#include "web/catalogue.h"

namespace zentrova::web {
namespace {

using emscripten::typed_memory_view;
using emscripten::val;

constexpr std::uint32_t kMarkEvery = 64;

// The work named as `zentrova-cli batch` names it; names that give none throw.
lists::ListWork WorkNamed(const std::string& mode, const std::string& charset,
                          const std::string& form) {
  const lists::NamedListWork named = lists::ListWorkNamed(mode, charset, form);
  if (!named.problem) return named.work;
  switch (*named.problem) {
    case lists::ListWorkProblem::kUnknownMode:
      throw std::invalid_argument("no list mode is called " + mode);
    case lists::ListWorkProblem::kUnknownCharset:
      throw std::invalid_argument("no charset is called " + charset);
    case lists::ListWorkProblem::kUnknownForm:
      break;
    case lists::ListWorkProblem::kFormHoldsOnlyDownloads:
      throw std::invalid_argument("the " + form + " form holds only decoded addresses");
  }
  throw std::invalid_argument("no hand-off form is called " + form);
}

// A copy that JavaScript owns (and may hand to another thread) of `size` values at `data`.
template <typename T>
val Owned(const T* data, std::size_t size) {
  return val(typed_memory_view(size, data)).call<val>("slice");
}
template <typename T>
val Owned(const std::vector<T>& values) {
  return Owned(values.data(), values.size());
}

// One number a line, in the narrowest array that holds the largest.
val Narrowest(const std::vector<std::uint32_t>& reasons) {
  const std::uint32_t largest = *std::max_element(reasons.begin(), reasons.end());
  if (largest <= 0xff) return Owned(std::vector<std::uint8_t>(reasons.begin(), reasons.end()));
  if (largest <= 0xffff) return Owned(std::vector<std::uint16_t>(reasons.begin(), reasons.end()));
  return Owned(reasons);
}

}  // namespace

ListJob::ListJob(const std::string& mode, const std::string& charset, bool chinese,
                 double longestLine, const std::string& form)
    : ListJob(WorkNamed(mode, charset, form), chinese, longestLine) {}

ListJob::ListJob(const lists::ListWork& work, bool chinese, double longestLine)
    : run_(work.mode, work.charset),
      form_(work.form),
      handOff_(work.form, work.mode),
      translate_(TranslationFor(chinese)),
      longestLine_(static_cast<std::size_t>(longestLine)) {}

void ListJob::Take(const lists::LineResult& result) {
  if (form_ == lists::HandOffForm::kLines && reasons_.size() % kMarkEvery == 0) {
    marks_.push_back(static_cast<std::uint32_t>(out_.size()));
  }
  const long number = run_.counts().lines;
  lists::HandedLine handed = lists::HandLineOff(handOff_, number, result, translate_, out_);
  std::uint32_t reason = 0;
  if (handed.failure) {
    const auto [at, isNew] =
        reasonIndex_.try_emplace(*handed.failure, static_cast<std::uint32_t>(reasonIndex_.size()));
    if (isNew) newReasons_.push_back(*handed.failure);
    reason = at->second + 1;
  }
  const bool noted = handed.note && notesSaid_ < kMostNotes;
  if (noted) notes_.reserve(notes_.size() + 1);
  // The line is whole once its reason is kept; nothing after that can run out of memory.
  reasons_.push_back(reason);
  if (reason) anyFailed_ = true;
  lineEnd_ = out_.size();
  if (handed.note) ++leftOut_;
  if (noted) {
    notes_.push_back(Note{number, std::move(*handed.note)});
    ++notesSaid_;
  }
}

template <typename Feed>
val ListJob::Piece(Feed&& feed) {
  out_.clear();
  lineEnd_ = 0;
  marks_.clear();
  reasons_.clear();
  newReasons_.clear();
  notes_.clear();
  anyFailed_ = false;
  val stop = val::null();
  if (stopped_) throw std::logic_error("the list job has stopped");
  try {
    feed();
    if (std::max(bytes_.pending(), text_.pending()) > longestLine_) {
      stop = val::object();
      stop.set("why", "tooLong");
      stop.set("line", static_cast<double>(run_.counts().lines + 1));
    }
  } catch (const std::bad_alloc&) {
    // What the piece converted before memory ran out is still handed back, up to the last
    // whole line.
    out_.resize(lineEnd_);
    if (form_ == lists::HandOffForm::kLines) {
      marks_.resize((reasons_.size() + kMarkEvery - 1) / kMarkEvery);
    }
    stop = val::object();
    stop.set("why", "memory");
  }
  stopped_ = !stop.isNull();

  val result = val::object();
  result.set("text", Owned(reinterpret_cast<const std::uint8_t*>(out_.data()), out_.size()));
  result.set("lines", static_cast<double>(reasons_.size()));
  result.set("marks", Owned(marks_));
  result.set("reasons", anyFailed_ ? Narrowest(reasons_) : val::null());
  val fresh = val::array();
  for (const std::string& words : newReasons_) fresh.call<void>("push", words);
  result.set("newReasons", fresh);
  val notes = val::array();
  for (const Note& note : notes_) {
    val entry = val::object();
    entry.set("line", static_cast<double>(note.line));
    entry.set("words", note.words);
    notes.call<void>("push", entry);
  }
  result.set("notes", notes);
  result.set("leftOut", static_cast<double>(leftOut_));
  const lists::ListCounts& counts = run_.counts();
  val total = val::object();
  total.set("lines", static_cast<double>(counts.lines));
  total.set("converted", static_cast<double>(counts.converted));
  total.set("passedThrough", static_cast<double>(counts.passedThrough));
  total.set("failed", static_cast<double>(counts.failed));
  result.set("counts", total);
  result.set("stop", stop);
  return result;
}

val ListJob::FeedBytes(const val& piece) {
  return Piece([&] {
    piece_.resize(piece["length"].as<std::size_t>());
    val(typed_memory_view(piece_.size(), reinterpret_cast<const std::uint8_t*>(piece_.data())))
        .call<void>("set", piece);
    bytes_.Feed(std::string_view(piece_), [&](std::string_view line) { Take(run_.Bytes(line)); });
  });
}

val ListJob::FeedText(const std::u16string& piece) {
  return Piece([&] {
    text_.Feed(std::u16string_view(piece),
               [&](std::u16string_view line) { Take(run_.Text(line)); });
  });
}

val ListJob::Finish() {
  return Piece([&] {
    bytes_.Finish([&](std::string_view line) { Take(run_.Bytes(line)); });
    text_.Finish([&](std::u16string_view line) { Take(run_.Text(line)); });
  });
}

}  // namespace zentrova::web
