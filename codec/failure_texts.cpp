#include "codec/failure_texts.h"

#include <array>

namespace zentrova::errors {
namespace texts {

std::span<const std::u16string_view> All() {
  static constexpr std::array kAll = {
      kOutOfMemory,
      kOverflow,
      kInputMissing,
      kComponentMissing,
      kCannotCreateObject,
      kUnsupportedDataType,
      kNoDataType,
      kEmptyElementName,
      kZeroBlockSize,
      kNegativeBlockSize,
      kTooManyBlocks,
      kBlockSkipped,
      kOutsideAlphabetCharacter,
      kOutsideAlphabetByte,
      kAfterPaddingCharacter,
      kAfterPaddingByte,
      kMisplacedPaddingCharacter,
      kMisplacedPaddingByte,
      kIncompleteGroupCharacter,
      kIncompleteGroupByte,
      kRawByte,
      kCannotOpenInput,
      kCannotOpenOutput,
      kCannotEmptyOutput,
      kCannotGetInformation,
      kCannotGetLength,
      kReadFailed,
      kWriteFailed,
      kCloseFailed,
      kLengthZeroWithContent,
      kNotRegularPipe,
      kNotRegularCharacterDevice,
      kNotRegularBlockDevice,
      kNotRegularSocket,
      kNotRegularSpecial,
      kUnpairedSurrogate,
      kSameFile,
  };
  return kAll;
}

}  // namespace texts

namespace {

// A text cut at its places: the literal pieces around them and the place each piece precedes.
struct Piece {
  std::u16string_view literal;
  int place;  // the place after the literal, or -1 at the end
};

std::vector<Piece> PiecesOf(std::u16string_view text) {
  std::vector<Piece> pieces;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == u'{' && at + 2 < text.size() && text[at + 1] >= u'0' && text[at + 1] <= u'9' &&
        text[at + 2] == u'}') {
      pieces.push_back({text.substr(start, at - start), text[at + 1] - u'0'});
      at += 2;
      start = at + 1;
    }
  }
  pieces.push_back({text.substr(start), -1});
  return pieces;
}

// Whether `description` from `at` on is `pieces` from `index` on, with the places filled in.
bool Matches(std::u16string_view description, std::size_t at, const std::vector<Piece>& pieces,
             std::size_t index, std::vector<std::u16string>& places) {
  const Piece& piece = pieces[index];
  if (description.substr(at, piece.literal.size()) != piece.literal) return false;
  at += piece.literal.size();
  if (piece.place < 0) return at == description.size();
  auto& place = places[static_cast<std::size_t>(piece.place)];
  const std::u16string_view next = pieces[index + 1].literal;
  if (pieces[index + 1].place < 0 && next.empty()) {
    place.assign(description.substr(at));
    return true;
  }
  // The latest end first, then earlier ones.
  for (std::size_t end = description.rfind(next); end != std::u16string_view::npos && end >= at;
       end = end == 0 ? std::u16string_view::npos : description.rfind(next, end - 1)) {
    place.assign(description.substr(at, end - at));
    if (Matches(description, end, pieces, index + 1, places)) return true;
  }
  return false;
}

}  // namespace

std::u16string Described(std::u16string_view text,
                         std::initializer_list<std::u16string_view> places) {
  std::u16string described;
  for (const Piece& piece : PiecesOf(text)) {
    described += piece.literal;
    if (piece.place >= 0 && static_cast<std::size_t>(piece.place) < places.size()) {
      described += places.begin()[piece.place];
    }
  }
  return described;
}

std::optional<ReadBack> ReadDescription(std::u16string_view description) {
  for (const std::u16string_view text : texts::All()) {
    const std::vector<Piece> pieces = PiecesOf(text);
    std::vector<std::u16string> places(pieces.size() - 1);
    if (Matches(description, 0, pieces, 0, places)) return ReadBack{text, std::move(places)};
  }
  return std::nullopt;
}

}  // namespace zentrova::errors
