#include "cli/codec_words.h"

#include <vector>

#include "codec/failure_texts.h"
#include "links/filled_in.h"
#include "messages/messages.h"

namespace zentrova::cli {
namespace {

namespace texts = errors::texts;

struct Words {
  std::u16string_view text;
  const char* english;
};

// Each of the codec's texts beside its sentence of the catalogue, whose places stand for the
// same things.
constexpr Words kWords[] = {
    {texts::kOutOfMemory, Catalogue("out of memory")},
    {texts::kOverflow, Catalogue("overflow")},
    {texts::kInputMissing, Catalogue("the file does not exist or cannot be opened: {0}")},
    {texts::kComponentMissing, Catalogue("error: the object '{0}' must be created")},
    {texts::kCannotCreateObject, Catalogue("the component cannot create the object '{0}'")},
    {texts::kUnsupportedDataType, Catalogue("the data type '{0}' is not supported")},
    {texts::kNoDataType, Catalogue("the element has no data type 'bin.base64' yet")},
    {texts::kEmptyElementName, Catalogue("an element's name cannot be empty")},
    {texts::kZeroBlockSize,
     Catalogue("division by zero: a block size of 0 cannot divide a file into blocks")},
    {texts::kNegativeBlockSize,
     Catalogue("invalid procedure call or argument: the block size is negative ({0})")},
    {texts::kTooManyBlocks,
     Catalogue("overflow: the file has {0} blocks, more than the block count holds")},
    {texts::kBlockSkipped,
     Catalogue("block {0} of {1} cannot be decoded and was skipped, {2} bytes fewer written. {3}")},
    {texts::kOutsideAlphabetCharacter,
     Catalogue("the Base64 text is not valid: character {0} ({1}) is not in the Base64 alphabet")},
    {texts::kOutsideAlphabetByte,
     Catalogue("the Base64 text is not valid: byte {0} ({1}) is not in the Base64 alphabet")},
    {texts::kAfterPaddingCharacter,
     Catalogue("the Base64 text is not valid: character {0} ({1}) follows the padding '='")},
    {texts::kAfterPaddingByte,
     Catalogue("the Base64 text is not valid: byte {0} ({1}) follows the padding '='")},
    {texts::kMisplacedPaddingCharacter,
     Catalogue("the Base64 text is not valid: character {0} is padding '=' out of place")},
    {texts::kMisplacedPaddingByte,
     Catalogue("the Base64 text is not valid: byte {0} is padding '=' out of place")},
    {texts::kIncompleteGroupCharacter,
     Catalogue("the Base64 text is not valid: it ends at character {0} with a last group of one "
               "character")},
    {texts::kIncompleteGroupByte,
     Catalogue("the Base64 text is not valid: it ends at byte {0} with a last group of one "
               "character")},
    {texts::kRawByte, Catalogue("byte 0x{0}")},
    {texts::kCannotOpenInput, Catalogue("cannot open the input file '{0}': {1}")},
    {texts::kCannotOpenOutput, Catalogue("cannot open the output file '{0}': {1}")},
    {texts::kCannotEmptyOutput, Catalogue("cannot empty the output file '{0}': {1}")},
    {texts::kCannotGetInformation, Catalogue("cannot get the file information of '{0}': {1}")},
    {texts::kCannotGetLength, Catalogue("cannot get the length of '{0}': {1}")},
    {texts::kReadFailed, Catalogue("reading '{0}' failed: {1}")},
    {texts::kWriteFailed, Catalogue("writing '{0}' failed: {1}")},
    {texts::kCloseFailed, Catalogue("closing '{0}' failed: {1}")},
    {texts::kLengthZeroWithContent, Catalogue("the file reports a length of 0 but has content")},
    {texts::kNotRegularPipe, Catalogue("it is no regular file but a pipe")},
    {texts::kNotRegularCharacterDevice, Catalogue("it is no regular file but a character device")},
    {texts::kNotRegularBlockDevice, Catalogue("it is no regular file but a block device")},
    {texts::kNotRegularSocket, Catalogue("it is no regular file but a socket")},
    {texts::kNotRegularSpecial, Catalogue("it is no regular file but a special file")},
    {texts::kUnpairedSurrogate,
     Catalogue("the file name '{0}' is not valid: it holds an unpaired surrogate")},
    {texts::kSameFile, Catalogue("the input file and the output file are the same file: '{0}'")},
};

}  // namespace

const char* EnglishOf(std::u16string_view text) {
  for (const Words& words : kWords) {
    if (words.text == text) return words.english;
  }
  return nullptr;
}

std::string CodecWords(std::u16string_view description,
                       const std::function<std::string(std::u16string_view)>& shown) {
  const auto read = errors::ReadDescription(description);
  const char* english = read ? EnglishOf(read->text) : nullptr;
  if (!english) return shown(description);
  std::vector<std::string> places;
  for (const std::u16string& place : read->places) {
    places.push_back(errors::ReadDescription(place) ? CodecWords(place, shown) : shown(place));
  }
  const std::vector<std::string_view> views(places.begin(), places.end());
  return links::FilledIn(Translate(english), views);
}

}  // namespace zentrova::cli
