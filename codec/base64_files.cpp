// The block-wise file routine behind EncodeFile and DecodeFile.
#include <limits>
#include <new>
#include <optional>

#include "codec/base64.h"
#include "codec/base64_transform.h"
#include "codec/file_io.h"

namespace zentrova {
namespace {

using errors::Number;

constexpr std::int32_t kEncodeMode = 0;
constexpr std::int32_t kDecodeMode = 1;

// Block sizes of 0 or below cannot divide a file into blocks; say so before the output is
// touched.
void RequirePositive(std::int32_t blockSize) {
  if (blockSize == 0) {
    throw CodecError(errors::kDivisionByZero, std::u16string(errors::texts::kZeroBlockSize));
  }
  if (blockSize < 0) {
    throw CodecError(errors::kInvalidArgument,
                     errors::Described(errors::texts::kNegativeBlockSize, {Number(blockSize)}));
  }
}

// Returns the input's length. Some files (those of /proc, for one) say they are empty and yet
// have content; their blocks cannot be counted, and an empty result would be a silent loss.
std::int64_t LengthOf(fileio::InputFile& input, const std::u16string& name) {
  const std::int64_t length = input.Length();
  char probe = 0;
  if (length == 0 && input.Read(&probe, 1) > 0) {
    throw CodecError(errors::kPathFileAccessError,
                     errors::Described(errors::texts::kCannotGetLength,
                                       {name, errors::texts::kLengthZeroWithContent}));
  }
  return length;
}

// The number of blocks a file of `length` bytes takes, which must fit the events' counter.
std::int32_t BlockCount(std::int64_t length, std::int32_t blockSize) {
  const std::int64_t blocks = length / blockSize + (length % blockSize > 0 ? 1 : 0);
  if (blocks > std::numeric_limits<std::int32_t>::max()) {
    throw CodecError(errors::kOverflow,
                     errors::Described(errors::texts::kTooManyBlocks, {Number(blocks)}));
  }
  return static_cast<std::int32_t>(blocks);
}

}  // namespace

Bool16 Base64::EncodeFile(std::u16string& strInFile, std::u16string& strOutFile) {
  return ProcessFile(strInFile, strOutFile, kTrue16) ? kTrue16 : kFalse16;
}

Bool16 Base64::DecodeFile(std::u16string& strInFile, std::u16string& strOutFile) {
  return ProcessFile(strInFile, strOutFile, kFalse16) ? kTrue16 : kFalse16;
}

std::string_view Base64::ConvertBlock(Bool16 bEncode, std::string_view bytes, BlockPlace place,
                                      base64::Decoder& decoder, std::string& scratch) {
  // The text is written straight into the run's buffer: no copy, and no clearing of a buffer
  // that is overwritten anyway.
  auto room = [&scratch](std::size_t size) {
    if (scratch.size() < size) scratch.resize(size);
    return scratch.data();
  };
  try {
    if (bEncode) {
      char* out = room((available_ ? base64::EncodedLength(bytes.size()) : 0) + 1);
      std::size_t size = available_ ? base64::EncodeTo(bytes, out) : 0;
      if (!place.last) out[size++] = '\n';
      return {out, size};
    }
    if (!available_) return {};
    char* out = room(base64::Decoder::MostBytesFor(bytes.size()) + 2);
    std::size_t size = 0;
    auto failure = decoder.FeedTo(bytes, out, size);
    if (!failure && place.last) {
      std::size_t end = 0;
      failure = decoder.FinishTo(out + size, end);
      size += end;
    }
    if (failure) {
      // As a block that Decode refuses: nothing of it is written. The decoder keeps count of
      // the characters, so the next block decodes exactly what it holds.
      const std::size_t lost = decoder.BytesInLastChunk();
      decoder.Resync();
      RaiseError(errors::kInvalidArgument,
                 errors::Described(
                     errors::texts::kBlockSkipped,
                     {Number(place.number), Number(place.total),
                      Number(static_cast<std::int64_t>(lost)), base64::DescribeFailure(failure)}));
      return {};
    }
    return {out, size};
  } catch (const std::bad_alloc&) {
    RaiseError(errors::kOutOfMemory, std::u16string(errors::texts::kOutOfMemory));
    return {};
  }
}

void Base64::ConvertBlocks(Bool16 bEncode, std::int32_t blockSize, std::int64_t length,
                           fileio::InputFile& input, fileio::OutputFile& output) {
  const std::int32_t mode = bEncode ? kEncodeMode : kDecodeMode;
  const std::int64_t fullBlocks = length / blockSize;
  const std::int64_t remainder = length % blockSize;
  const std::int32_t total = BlockCount(length, blockSize);
  // One buffer for the whole run, never larger than the file: a huge block size costs
  // nothing on a small file.
  std::string buffer(static_cast<std::size_t>(std::min<std::int64_t>(blockSize, length)), '\0');
  std::string scratch;
  base64::Decoder decoder;
  std::int32_t counter = 0;
  bool ended = false;  // the text's end has been converted
  auto convert = [&](std::size_t size) {
    const std::size_t got = input.Read(buffer.data(), size);
    // A file that shrank during the run ends here, and its end is checked as any other.
    const bool last = counter + 1 == total || got < size;
    const std::string_view text = ConvertBlock(bEncode, std::string_view(buffer.data(), got),
                                               {counter + 1, total, last}, decoder, scratch);
    ended = ended || last;
    output.Write(text);
    ++counter;
    Raise([&](Base64Events& l) { l.BlockRead(counter, total, mode, cancel_); });
  };
  while (!input.AtEnd() && counter < fullBlocks && !cancel_) {
    convert(static_cast<std::size_t>(blockSize));
  }
  if (!input.AtEnd() && remainder > 0 && !cancel_) convert(static_cast<std::size_t>(remainder));
  if (!ended && !cancel_ && !bEncode && counter > 0) {
    // The file ended exactly where a block would have begun.
    output.Write(ConvertBlock(bEncode, {}, {counter, total, true}, decoder, scratch));
  }
}

Bool16 Base64::ProcessFile(std::u16string& strInFile, std::u16string& strOutFile, Bool16 bEncode) {
  const std::int32_t blockSize = bEncode ? encodeBlockSize_ : decodeBlockSize_;
  cancel_ = kFalse16;

  std::filesystem::path inPath;
  std::filesystem::path outPath;
  try {
    inPath = fileio::PathOf(strInFile);
    outPath = fileio::PathOf(strOutFile);
    if (fileio::FindInput(inPath) == fileio::Presence::kMissing) {
      RaiseError(errors::kInputMissing,
                 errors::Described(errors::texts::kInputMissing, {strInFile}));
      return kFalse16;
    }
  } catch (const CodecError& e) {
    RaiseError(e.code(), e.description());
    return kFalse16;
  }
  Raise([&](Base64Events& l) { l.BeforeFileOpenIn(strInFile, cancel_); });
  if (cancel_) return kFalse16;

  std::optional<fileio::InputFile> input;
  std::optional<fileio::OutputFile> output;
  try {
    input.emplace(inPath);
    Raise([&](Base64Events& l) { l.BeforeFileOpenOut(strOutFile, cancel_); });
    if (cancel_) {
      input->Close();
      return kFalse16;
    }
    RequirePositive(blockSize);
    const std::int64_t length = LengthOf(*input, strInFile);
    output.emplace(outPath, *input);

    ConvertBlocks(bEncode, blockSize, length, *input, *output);

    output->Close();
    Raise([&](Base64Events& l) { l.AfterFileCloseOut(strOutFile); });
    input->Close();
    Raise([&](Base64Events& l) { l.AfterFileCloseIn(strInFile); });
    if (bEncode) {
      Raise([&](Base64Events& l) { l.FileEncodeComplete(strInFile, strOutFile); });
    } else {
      Raise([&](Base64Events& l) { l.FileDecodeComplete(strInFile, strOutFile); });
    }
    return kTrue16;
  } catch (const CodecError& e) {
    // Both files are closed before the error is raised, so a listener may remove the output.
    output.reset();
    input.reset();
    RaiseError(e.code(), e.description());
  } catch (const std::bad_alloc&) {
    output.reset();
    input.reset();
    RaiseError(errors::kOutOfMemory, std::u16string(errors::texts::kOutOfMemory));
  }
  return kFalse16;
}

}  // namespace zentrova
