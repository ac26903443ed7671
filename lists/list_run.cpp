#include "lists/list_run.h"

namespace zentrova::lists {

using links::LinkKind;

std::optional<LinkKind> KindMade(ListMode mode) {
  switch (mode) {
    case ListMode::kThunder:
      return LinkKind::kThunder;
    case ListMode::kFlashGet:
      return LinkKind::kFlashGet;
    case ListMode::kQQWhirlwind:
      return LinkKind::kQQWhirlwind;
    case ListMode::kDecode:
      break;
  }
  return std::nullopt;
}

ListRun::ListRun(ListMode mode, Charset charset) : mode_(mode), charset_(charset) {}

LineResult ListRun::Bytes(std::string_view line) {
  const std::optional<std::u16string> text = reader_.Text(line);
  if (!text) {
    return Counted(Failure("the line is neither UTF-8 nor GBK"));
  }
  return Text(*text);
}

LineResult ListRun::BytesInPlace(std::string&& line) {
  std::optional<std::u16string> text = reader_.Text(line);
  std::string().swap(line);  // not assigned: libstdc++ would keep the memory
  if (!text) {
    return Counted(Failure("the line is neither UTF-8 nor GBK"));
  }
  if (KindMade(mode_)) return Text(*text);
  return Counted(OpenFoundLinkInPlace(std::move(*text), charset_));
}

LineResult ListRun::Text(std::u16string_view line) {
  const auto make = KindMade(mode_);
  return Counted(make ? MakeFoundLink(*make, line, charset_) : OpenFoundLink(line, charset_));
}

LineResult ListRun::TooLong() {
  return Counted(Failure("the line is longer than {0} MB, more than a list converts",
                         std::to_string(kLongestLine >> 20)));
}

LineResult ListRun::Counted(LineResult result) {
  ++counts_.lines;
  switch (result.kind) {
    case LineResult::Kind::kConverted:
      ++counts_.converted;
      break;
    case LineResult::Kind::kPassedThrough:
      ++counts_.passedThrough;
      break;
    case LineResult::Kind::kFailed:
      ++counts_.failed;
      break;
    case LineResult::Kind::kBlank:
      break;
  }
  return result;
}

}  // namespace zentrova::lists
