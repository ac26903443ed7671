#include "lists/list_names.h"

namespace zentrova::lists {

std::optional<ListMode> ListModeNamed(std::string_view name) {
  if (name == "decode") return ListMode::kDecode;
  if (name == "thunder") return ListMode::kThunder;
  if (name == "flashget") return ListMode::kFlashGet;
  if (name == "qqdl") return ListMode::kQQWhirlwind;
  return std::nullopt;
}

std::optional<Charset> CharsetNamed(std::string_view name) {
  if (name == "auto") return Charset::kAuto;
  if (name == "936") return Charset::kCodePage;
  if (name == "utf-8" || name == "UTF-8") return Charset::kUtf8;
  return std::nullopt;
}

std::optional<HandOffForm> HandOffFormNamed(std::string_view name) {
  if (name == "lines") return HandOffForm::kLines;
  if (name == "aria2") return HandOffForm::kAria2;
  if (name == "ef2") return HandOffForm::kEf2;
  if (name == "json") return HandOffForm::kJson;
  return std::nullopt;
}

NamedListWork ListWorkNamed(std::string_view mode, std::string_view charset,
                            std::string_view form) {
  const std::optional<ListMode> namedMode = ListModeNamed(mode);
  if (!namedMode) return {{}, ListWorkProblem::kUnknownMode};
  const std::optional<Charset> namedCharset = CharsetNamed(charset);
  if (!namedCharset) return {{}, ListWorkProblem::kUnknownCharset};
  const std::optional<HandOffForm> namedForm = HandOffFormNamed(form);
  if (!namedForm) return {{}, ListWorkProblem::kUnknownForm};
  if (!FormHolds(*namedForm, *namedMode)) return {{}, ListWorkProblem::kFormHoldsOnlyDownloads};
  return {{*namedMode, *namedCharset, *namedForm}, std::nullopt};
}

}  // namespace zentrova::lists
