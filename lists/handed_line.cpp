#include "lists/handed_line.h"

namespace zentrova::lists {

HandedLine HandLineOff(HandOff& handOff, long number, const LineResult& result,
                       const Translation& translate, std::string& out, const EntryExtra& extra) {
  Handed handed = handOff.Append(number, result, out, extra);
  HandedLine line{std::nullopt, std::nullopt, std::move(handed.download)};
  if (result.kind == LineResult::Kind::kFailed) line.failure = Reason(result, translate);
  if (handed.note) line.note = translate(*handed.note);
  return line;
}

}  // namespace zentrova::lists
