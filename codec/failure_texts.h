// The codec's descriptions of its failures, each one fixed text with places "{0}", "{1}", … for
// what varies (a number, a file's name, the system's own words, another description). The codec
// says them in Chinese, as its interface gives them; a front end that speaks another language
// reads a description back into its text and places (ReadDescription) and says it in its own
// words. Every text the codec writes is here, and only here.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova::errors::texts {

inline constexpr std::u16string_view kOutOfMemory = u"内存不足";
inline constexpr std::u16string_view kOverflow = u"溢出";
inline constexpr std::u16string_view kInputMissing = u"文件不存在 / 打开文件错误:{0}";
inline constexpr std::u16string_view kComponentMissing = u"错误,建立必须 '{0}' 对象";
inline constexpr std::u16string_view kCannotCreateObject = u"ActiveX 部件不能创建对象: '{0}'";
inline constexpr std::u16string_view kUnsupportedDataType = u"不支持的数据类型 '{0}'";
inline constexpr std::u16string_view kNoDataType = u"元素尚未设置数据类型 'bin.base64'";
inline constexpr std::u16string_view kEmptyElementName = u"元素名不能为空";

// Block sizes and counts.
inline constexpr std::u16string_view kZeroBlockSize = u"除数为零：块大小为 0，无法把文件分成块";
inline constexpr std::u16string_view kNegativeBlockSize =
    u"无效的过程调用或参数：块大小为负数 ({0})";
inline constexpr std::u16string_view kTooManyBlocks = u"溢出：文件有 {0} 块，超出块计数的范围";
inline constexpr std::u16string_view kBlockSkipped =
    u"第 {0} 块（共 {1} 块）无法解码，已跳过，少写 {2} 字节。{3}";

// Base64 that is not valid, counted in characters or in bytes; {1} names what stands there.
inline constexpr std::u16string_view kOutsideAlphabetCharacter =
    u"Base64 文本无效：第 {0} 个字符（{1}）不属于 Base64 字母表";
inline constexpr std::u16string_view kOutsideAlphabetByte =
    u"Base64 文本无效：第 {0} 个字节（{1}）不属于 Base64 字母表";
inline constexpr std::u16string_view kAfterPaddingCharacter =
    u"Base64 文本无效：第 {0} 个字符（{1}）出现在填充符 '=' 之后";
inline constexpr std::u16string_view kAfterPaddingByte =
    u"Base64 文本无效：第 {0} 个字节（{1}）出现在填充符 '=' 之后";
inline constexpr std::u16string_view kMisplacedPaddingCharacter =
    u"Base64 文本无效：第 {0} 个字符是不该出现在此处的填充符 '='";
inline constexpr std::u16string_view kMisplacedPaddingByte =
    u"Base64 文本无效：第 {0} 个字节是不该出现在此处的填充符 '='";
inline constexpr std::u16string_view kIncompleteGroupCharacter =
    u"Base64 文本无效：在第 {0} 个字符处结束，最后一组只有 1 个字符";
inline constexpr std::u16string_view kIncompleteGroupByte =
    u"Base64 文本无效：在第 {0} 个字节处结束，最后一组只有 1 个字符";
inline constexpr std::u16string_view kRawByte = u"字节 0x{0}";

// The file layer: {0} the file's name, {1} the system's words or one of the kinds below.
inline constexpr std::u16string_view kCannotOpenInput = u"无法打开输入文件 '{0}'：{1}";
inline constexpr std::u16string_view kCannotOpenOutput = u"无法打开输出文件 '{0}'：{1}";
inline constexpr std::u16string_view kCannotEmptyOutput = u"无法清空输出文件 '{0}'：{1}";
inline constexpr std::u16string_view kCannotGetInformation = u"无法取得文件信息 '{0}'：{1}";
inline constexpr std::u16string_view kCannotGetLength = u"无法取得文件长度 '{0}'：{1}";
inline constexpr std::u16string_view kReadFailed = u"读取失败 '{0}'：{1}";
inline constexpr std::u16string_view kWriteFailed = u"写入失败 '{0}'：{1}";
inline constexpr std::u16string_view kCloseFailed = u"关闭失败 '{0}'：{1}";
inline constexpr std::u16string_view kLengthZeroWithContent = u"文件报告长度为 0，却有内容";
inline constexpr std::u16string_view kNotRegularPipe = u"不是普通文件，而是管道";
inline constexpr std::u16string_view kNotRegularCharacterDevice = u"不是普通文件，而是字符设备";
inline constexpr std::u16string_view kNotRegularBlockDevice = u"不是普通文件，而是块设备";
inline constexpr std::u16string_view kNotRegularSocket = u"不是普通文件，而是套接字";
inline constexpr std::u16string_view kNotRegularSpecial = u"不是普通文件，而是特殊文件";
inline constexpr std::u16string_view kUnpairedSurrogate = u"文件名无效：'{0}' 含有不成对的代理项";
inline constexpr std::u16string_view kSameFile = u"输入文件与输出文件是同一个文件：'{0}'";

// Every text above, for reading descriptions back.
std::span<const std::u16string_view> All();

}  // namespace zentrova::errors::texts

namespace zentrova::errors {

// Returns `text` with each "{i}" replaced by `places[i]`.
std::u16string Described(std::u16string_view text,
                         std::initializer_list<std::u16string_view> places = {});

struct ReadBack {
  std::u16string_view text;  // one of texts::All()
  std::vector<std::u16string> places;
};

// Returns the text and places that made `description`; nothing for a description the codec
// did not make (another component's words). Where a place could end at more than one point,
// the latest is taken: a file's name may hold any character, the system's words follow it.
std::optional<ReadBack> ReadDescription(std::u16string_view description);

}  // namespace zentrova::errors
