// EncodeFile and DecodeFile when the files are not what a careful caller would hand in: the
// same file twice, names that are not UTF-8, damaged or foreign layouts of Base64 text, inputs
// that are no ordinary file, and inputs that change or lie about their length.
#include "codec/file_io.h"
#include "codec/utf8.h"
#include "file_run_fixture.h"

namespace zentrova {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using namespace zentrova::testing;

bool Contains(const std::u16string& text, std::u16string_view part) {
  return text.find(part) != std::u16string::npos;
}

TEST_F(FileRunTest, SameFileAsInputAndOutputIsRefusedAndTheInputLeftWhole) {
  const std::string original = Encoded(RandomBytes(5000, 11));
  struct Row {
    const char* name;
    std::u16string target;
  };
  std::vector<Row> rows = {
      {"same name", in},
      {"through the folder's dot", Name("./in")},
      {"through its parent", Name("../" + dir.filename().string() + "/in")},
  };
  std::error_code linkError;
  fs::create_symlink(Path(in), Path(Name("symlink")), linkError);
  if (!linkError) rows.push_back({"through a symbolic link", Name("symlink")});
  fs::create_hard_link(Path(in), Path(Name("hardlink")), linkError);
  if (!linkError) rows.push_back({"through a hard link", Name("hardlink")});
  for (const auto& row : rows) {
    for (const bool encode : {true, false}) {
      SCOPED_TRACE(std::string(row.name) + (encode ? " encoding" : " decoding"));
      WriteAll(Path(in), original);
      recorder.events.clear();
      std::u16string target = row.target;
      EXPECT_EQ(encode ? codec.EncodeFile(in, target) : codec.DecodeFile(in, target), kFalse16);
      EXPECT_THAT(recorder.events,
                  ElementsAre("BeforeFileOpenIn " + Path(in), "BeforeFileOpenOut " + Path(target),
                              "ErrorOccured 75"));
      EXPECT_TRUE(Contains(codec.LastErrorDescription(), u"同一个文件"));
      EXPECT_EQ(ReadAll(Path(in)), original);
    }
  }
}

// What the command line asks before a list run: whether two names reach one file, whatever the
// names; a device, which many share, and a missing file reach none.
TEST_F(FileRunTest, DiskFileIdentityKnowsAFileByAnyNameAndNoDevice) {
  WriteAll(Path(in), "a");
  WriteAll(Path(out), "a");
  const auto file = fileio::DiskFileIdentity(fileio::PathOf(in));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(fileio::DiskFileIdentity(fileio::PathOf(Name("./in"))), file);
  EXPECT_NE(fileio::DiskFileIdentity(fileio::PathOf(out)), file);
  std::error_code linkError;
  fs::create_hard_link(Path(in), Path(Name("hardlink")), linkError);
  if (!linkError) {
    EXPECT_EQ(fileio::DiskFileIdentity(fileio::PathOf(Name("hardlink"))), file);
  }
  fs::create_symlink(Path(in), Path(Name("symlink")), linkError);
  if (!linkError) {
    EXPECT_EQ(fileio::DiskFileIdentity(fileio::PathOf(Name("symlink"))), file);
  }
  EXPECT_EQ(fileio::DiskFileIdentity(fileio::PathOf(Name("absent"))), std::nullopt);
#ifdef _WIN32
  EXPECT_EQ(fileio::DiskFileIdentity(fs::path(L"NUL")), std::nullopt);
#else
  EXPECT_EQ(fileio::DiskFileIdentity(fs::path("/dev/null")), std::nullopt);
#endif
}

TEST_F(FileRunTest, InputThatIsNoOrdinaryFileReportsItsRealCause) {
  WriteAll(Path(in), "YWJj");
  struct Row {
    const char* name;
    std::u16string source;
    std::int32_t code;
  };
  std::vector<Row> rows = {
      {"missing", Name("absent"), 90002},
      {"empty name", u"", 90002},
      {"folder", Name("."), 75},
#ifdef _WIN32
      {"behind a file", Name("in/x"), 90002},  // the search finds no such name
#else
      {"behind a file", Name("in/x"), 76},
#endif
  };
#ifndef _WIN32
  ::mkfifo(Path(Name("fifo")).c_str(), 0600);
  rows.push_back({"pipe", Name("fifo"), 75});
  rows.push_back({"device", u"/dev/null", 75});
#endif
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recorder.events.clear();
    std::u16string source = row.source;
    EXPECT_EQ(codec.EncodeFile(source, out), kFalse16);
    EXPECT_THAT(recorder.events, ElementsAre("ErrorOccured " + std::to_string(row.code)));
    if (row.code == 90002) {
      EXPECT_EQ(codec.LastErrorDescription(), u"文件不存在 / 打开文件错误:" + source);
    } else {
      EXPECT_TRUE(Contains(codec.LastErrorDescription(), u"'" + source + u"'"));
    }
    EXPECT_FALSE(fs::exists(Path(out)));
  }
}

#ifndef _WIN32
TEST_F(FileRunTest, NamesThatAreNotUtf8ReachTheVeryFilesNamed) {
  const std::string folder = Path(Name(""));
  const std::string gbkName = folder + "\xd6\xd0\xce\xc4.txt";  // 中文 in GBK
  const std::string oddName = folder + "\xff\xfe.b64";
  const std::string lookAlike = folder + "\xef\xbf\xbd\xef\xbf\xbd.b64";  // two U+FFFD
  WriteAll(gbkName, "abc");
  WriteAll(lookAlike, "keep me");
  std::u16string source = FromNativeName(gbkName);
  std::u16string target = FromNativeName(oddName);
  ASSERT_EQ(codec.EncodeFile(source, target), kTrue16);
  EXPECT_EQ(ReadAll(oddName), "YWJj");
  EXPECT_EQ(ReadAll(lookAlike), "keep me");
  std::u16string back = FromNativeName(folder + "\xb7\xb5.bin");
  ASSERT_EQ(codec.DecodeFile(target, back), kTrue16);
  EXPECT_EQ(ReadAll(folder + "\xb7\xb5.bin"), "abc");

  // A lone surrogate that stands for no byte names no file at all.
  std::u16string unnamed = Name("x") + u'\xd800';
  EXPECT_EQ(codec.EncodeFile(source, unnamed), kFalse16);
  EXPECT_EQ(codec.LastErrorCode(), 52);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
}
#endif

TEST_F(FileRunTest, OneBadCharacterCostsOnlyTheBlockItStandsIn) {
  const std::string bytes = RandomBytes(60000, 12);
  std::string flat;
  for (const char c : Encoded(bytes)) {
    if (c != '\n') flat += c;
  }
  auto layout = [&](std::size_t columns, const std::string& lineEnd, bool mark) {
    std::string text = mark ? "\xef\xbb\xbf" : "";
    for (std::size_t i = 0; i < flat.size(); i += columns) {
      text += flat.substr(i, columns) + (i + columns < flat.size() ? lineEnd : "");
    }
    return text;
  };
  struct Row {
    const char* name;
    std::string text;
  };
  const Row rows[] = {
      {"72 columns", layout(72, "\n", false)},
      {"GNU's 76 columns", layout(76, "\n", false)},
      {"76 columns, CR LF", layout(76, "\r\n", false)},
      {"byte-order mark, 72 columns", layout(72, "\n", true)},
      {"byte-order mark, 64 columns, CR LF", layout(64, "\r\n", true)},
  };
  codec.BlockSize(584);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    // Whole, the text decodes to the bytes; with one character damaged only its block is lost.
    WriteAll(Path(in), row.text);
    ASSERT_EQ(codec.DecodeFile(in, out), kTrue16);
    EXPECT_EQ(ReadAll(Path(out)), bytes);
    EXPECT_EQ(codec.LastErrorCode(), 0);

    std::string damaged = row.text;
    std::size_t at = damaged.size() / 2;
    while (damaged[at] == '\r' || damaged[at] == '\n') ++at;
    damaged[at] = '!';
    WriteAll(Path(in), damaged);
    ASSERT_EQ(codec.DecodeFile(in, out), kTrue16);
    const std::string got = ReadAll(Path(out));
    ASSERT_LT(got.size(), bytes.size());
    std::size_t same = 0;
    while (same < got.size() && got[same] == bytes[same]) ++same;
    const std::size_t gap = bytes.size() - got.size();
    EXPECT_LE(gap, 584u / 4 * 3 + 3);  // one block's bytes, and the group the fault stood in
    EXPECT_EQ(got.substr(same), bytes.substr(same + gap));
    const std::u16string block =
        u"第 " + errors::Number(static_cast<std::int64_t>(at / 584 + 1)) + u" 块（共 " +
        errors::Number(static_cast<std::int64_t>((damaged.size() + 583) / 584)) + u" 块）无法解码";
    EXPECT_TRUE(Contains(codec.LastErrorDescription(), block))
        << ToUtf8(codec.LastErrorDescription());
    EXPECT_TRUE(Contains(codec.LastErrorDescription(), u"U+0021 '!'"));
    codec.ClearError();
  }
}

// Cuts the input short once the first block is written, as another program might.
class Shrinker : public Base64Events {
 public:
  Shrinker(std::string path, std::uintmax_t length) : path_(std::move(path)), length_(length) {}
  void BlockRead(std::int32_t lngCurrentBlock, std::int32_t, std::int32_t, Bool16&) override {
    if (lngCurrentBlock == 1) fs::resize_file(path_, length_);
  }

 private:
  std::string path_;
  std::uintmax_t length_;
};

TEST_F(FileRunTest, InputThatShrinksDuringTheRunHasItsEndCheckedAsAtRest) {
  std::string flat;
  for (const char c : Encoded(RandomBytes(3000, 13))) {
    if (c != '\n') flat += c;
  }
  std::string gnu;  // 76 columns: 584 characters end inside a group
  for (std::size_t i = 0; i < flat.size(); i += 76) gnu += flat.substr(i, 76) + "\n";
  struct Row {
    const char* name;
    std::string text;
    std::uintmax_t shrinkTo;
    bool endIsWhole;
  };
  const Row rows[] = {
      {"lone character inside the second block", Encoded(RandomBytes(1000, 14)), 584 + 5, false},
      {"cut where the second block begins, mid-group", gnu, 584, false},
      {"cut where the second block begins, on a group", Encoded(RandomBytes(1000, 15)), 584, true},
  };
  codec.BlockSize(584);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteAll(Path(in), row.text);
    Shrinker shrinker(Path(in), row.shrinkTo);
    codec.Attach(shrinker);
    codec.ClearError();
    EXPECT_EQ(codec.DecodeFile(in, out), kTrue16);
    codec.Detach(shrinker);
    // The same, shorter, file at rest: the verdict on its end must be the same.
    const std::int32_t during = codec.LastErrorCode();
    codec.ClearError();
    EXPECT_EQ(codec.DecodeFile(in, out), kTrue16);
    EXPECT_EQ(during, codec.LastErrorCode());
    EXPECT_EQ(during, row.endIsWhole ? 0 : 5);
  }
}

#ifdef __linux__
TEST_F(FileRunTest, FileThatSaysItIsEmptyButIsNotIsRefused) {
  std::u16string source = u"/proc/self/status";
  EXPECT_EQ(codec.EncodeFile(source, out), kFalse16);
  EXPECT_EQ(codec.LastErrorCode(), 75);
  EXPECT_TRUE(Contains(codec.LastErrorDescription(), u"'/proc/self/status'"));
  EXPECT_FALSE(fs::exists(Path(out)));
}
#endif

}  // namespace
}  // namespace zentrova
