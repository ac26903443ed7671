// A list's work as people name it, the same in every front end (zentrova-cli batch's words, the
// lists page's and the extension's): the mode, the reading of links' bytes and the hand-off's
// form, and whether they go together.
#pragma once

#include <optional>
#include <string_view>

#include "lists/found_links.h"
#include "lists/hand_off.h"
#include "lists/list_run.h"

namespace zentrova::lists {

// Returns the mode called `name` ("decode", "thunder", "flashget" or "qqdl"), or nothing.
std::optional<ListMode> ListModeNamed(std::string_view name);

// Returns the reading called `name` ("auto", "936" or "utf-8", also written "UTF-8"), or
// nothing.
std::optional<Charset> CharsetNamed(std::string_view name);

// Returns the form called `name` ("lines", "aria2", "ef2" or "json"), or nothing.
std::optional<HandOffForm> HandOffFormNamed(std::string_view name);

// What a run does with a list, and the form its results go out in.
struct ListWork {
  ListMode mode = ListMode::kDecode;
  Charset charset = Charset::kAuto;
  HandOffForm form = HandOffForm::kLines;
};

// Why names give no work: the first name refused, in the order mode, charset, form.
enum class ListWorkProblem {
  kUnknownMode,
  kUnknownCharset,
  kUnknownForm,
  kFormHoldsOnlyDownloads,  // aria2's and IDM's forms take no made links (FormHolds)
};

struct NamedListWork {
  ListWork work;                           // as named, when there is no problem
  std::optional<ListWorkProblem> problem;  // why the names give no work
};

// Returns the work named `mode`, `charset` and `form`, or the problem with the names.
NamedListWork ListWorkNamed(std::string_view mode, std::string_view charset, std::string_view form);

}  // namespace zentrova::lists
