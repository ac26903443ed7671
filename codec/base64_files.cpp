// The block-wise file routine behind EncodeFile and DecodeFile.
#include <limits>
#include <new>
#include <optional>

#include "codec/base64.h"
#include "codec/base64_transform.h"
#include "codec/file_io.h"
#include "codec/xml_dom.h"

namespace zentrova {
namespace {

constexpr std::int32_t kInputMissing = 90002;
constexpr std::int32_t kEncodeMode = 0;
constexpr std::int32_t kDecodeMode = 1;

std::u16string Number(std::int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

// Block sizes of 0 or below cannot divide a file into blocks; say so before the output is
// touched.
void RequirePositive(std::int32_t blockSize) {
  if (blockSize == 0) {
    throw CodecError(fileio::kDivisionByZero, u"除数为零：块大小为 0，无法把文件分成块");
  }
  if (blockSize < 0) {
    throw CodecError(fileio::kInvalidArgument,
                     u"无效的过程调用或参数：块大小为负数 (" + Number(blockSize) + u")");
  }
}

}  // namespace

Bool16 Base64::EncodeFile(std::u16string& strInFile, std::u16string& strOutFile) {
  return ProcessFile(strInFile, strOutFile, kTrue16) ? kTrue16 : kFalse16;
}

Bool16 Base64::DecodeFile(std::u16string& strInFile, std::u16string& strOutFile) {
  return ProcessFile(strInFile, strOutFile, kFalse16) ? kTrue16 : kFalse16;
}

void Base64::ConvertBlock(Bool16 bEncode, std::string_view bytes, bool lastBlock,
                          base64::Decoder& decoder, std::string& text) {
  text.clear();
  try {
    if (bEncode) {
      if (available_) base64::EncodeAppend(bytes, text);
      if (!lastBlock) text.push_back('\n');
      return;
    }
    if (!available_) return;
    auto failure = decoder.Feed(bytes, text);
    if (!failure && lastBlock) failure = decoder.Finish(text);
    if (failure) {
      // As a block that Decode refuses: nothing of it is written, and the next block starts
      // afresh.
      text.clear();
      decoder.Restart();
      RaiseError(xml::kInvalidBase64Code, base64::DescribeFailure(failure));
    }
  } catch (const std::bad_alloc&) {
    text.clear();
    RaiseError(fileio::kOutOfMemory, u"内存不足");
  }
}

Bool16 Base64::ProcessFile(std::u16string& strInFile, std::u16string& strOutFile, Bool16 bEncode) {
  const std::int32_t blockSize = bEncode ? encodeBlockSize_ : decodeBlockSize_;
  const std::int32_t mode = bEncode ? kEncodeMode : kDecodeMode;
  cancel_ = kFalse16;

  if (!fileio::IsOrdinaryFile(strInFile)) {
    RaiseError(kInputMissing, u"文件不存在 / 打开文件错误:" + strInFile);
    return kFalse16;
  }
  Raise([&](Base64Events& l) { l.BeforeFileOpenIn(strInFile, cancel_); });
  if (cancel_) return kFalse16;

  std::optional<fileio::InputFile> input;
  std::optional<fileio::OutputFile> output;
  try {
    input.emplace(strInFile);
    Raise([&](Base64Events& l) { l.BeforeFileOpenOut(strOutFile, cancel_); });
    if (cancel_) {
      input->Close();
      return kFalse16;
    }
    RequirePositive(blockSize);
    output.emplace(strOutFile);

    const std::int64_t length = input->Length();
    const std::int64_t fullBlocks = length / blockSize;
    const std::int64_t remainder = length - fullBlocks * blockSize;
    const std::int64_t totalBlocks = fullBlocks + (remainder > 0 ? 1 : 0);
    if (totalBlocks > std::numeric_limits<std::int32_t>::max()) {
      throw CodecError(fileio::kOverflow,
                       u"溢出：文件有 " + Number(totalBlocks) + u" 块，超出块计数的范围");
    }
    const auto total = static_cast<std::int32_t>(totalBlocks);

    // One buffer for the whole run, never larger than the file: a huge block size costs
    // nothing on a small file.
    std::string buffer(static_cast<std::size_t>(std::min<std::int64_t>(blockSize, length)), '\0');
    std::string text;
    base64::Decoder decoder;
    std::int32_t counter = 0;
    auto convert = [&](std::size_t size) {
      const std::size_t got = input->Read(buffer.data(), size);
      ConvertBlock(bEncode, std::string_view(buffer.data(), got), counter + 1 == total, decoder,
                   text);
      output->Write(text);
      ++counter;
      Raise([&](Base64Events& l) { l.BlockRead(counter, total, mode, cancel_); });
    };
    while (!input->AtEnd() && counter < fullBlocks && !cancel_) {
      convert(static_cast<std::size_t>(blockSize));
    }
    if (!input->AtEnd() && remainder > 0 && !cancel_) convert(static_cast<std::size_t>(remainder));

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
    RaiseError(fileio::kOutOfMemory, u"内存不足");
  }
  return kFalse16;
}

}  // namespace zentrova
