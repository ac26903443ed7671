// EncodeFile and DecodeFile on real files: event sequences, cancels, failures, the output's
// exact bytes, and agreement with GNU base64.
#include "file_run_fixture.h"

namespace zentrova {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace zentrova::testing;

TEST_F(FileRunTest, EncodesInBlocksWithLineFeedsOnlyBetweenThem) {
  struct Row {
    const char* name;
    std::size_t size;
    std::vector<std::string> blocks;
  };
  const Row rows[] = {
      {"empty", 0, {}},
      {"short", 10, {"BlockRead 1/1 mode 0"}},
      {"one block", 54, {"BlockRead 1/1 mode 0"}},
      {"two blocks", 108, {"BlockRead 1/2 mode 0", "BlockRead 2/2 mode 0"}},
      {"two and 5", 113, {"BlockRead 1/3 mode 0", "BlockRead 2/3 mode 0", "BlockRead 3/3 mode 0"}},
  };
  codec.BlockSize(54);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recorder.events.clear();
    const std::string bytes = RandomBytes(row.size, 1);
    WriteAll(Path(in), bytes);
    EXPECT_EQ(codec.EncodeFile(in, out), kTrue16);
    EXPECT_THAT(recorder.events, ElementsAreArray(CompletedRun(row.blocks, true)));
    // Blocks of 54 bytes are whole lines, so the file is the text of the whole input.
    EXPECT_EQ(ReadAll(Path(out)), Encoded(bytes));
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

TEST_F(FileRunTest, DecodesInBlocksWithNothingBetweenThem) {
  const std::string bytes = RandomBytes(1000, 2);
  const std::string text = Encoded(bytes);  // 1351 characters: 2 blocks of 584 and 183 more
  WriteAll(Path(in), text);
  codec.BlockSize(584);
  EXPECT_EQ(codec.DecodeFile(in, out), kTrue16);
  EXPECT_THAT(
      recorder.events,
      ElementsAreArray(CompletedRun(
          {"BlockRead 1/3 mode 1", "BlockRead 2/3 mode 1", "BlockRead 3/3 mode 1"}, false)));
  EXPECT_EQ(ReadAll(Path(out)), bytes);
}

TEST_F(FileRunTest, RoundTripsAnyBytesForAnyPairOfBlockSizes) {
  const std::string bytes = RandomBytes(5000, 3);  // every byte value, in code page 936 too
  WriteAll(Path(in), bytes);
  const std::u16string encoded = Name("encoded");
  const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1},      {54, 585},    {100, 1168},
                                                         {5000, 584}, {1048576, 1}, {60, 100000}};
  for (const auto& [encodeSize, decodeSize] : sizes) {
    SCOPED_TRACE(std::to_string(encodeSize) + " / " + std::to_string(decodeSize));
    std::u16string source = in, target = encoded;
    codec.BlockSize(encodeSize);
    ASSERT_EQ(codec.EncodeFile(source, target), kTrue16);
    codec.BlockSize(decodeSize);
    ASSERT_EQ(codec.DecodeFile(target, out), kTrue16);
    EXPECT_EQ(ReadAll(Path(out)), bytes);
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

TEST_F(FileRunTest, AgreesWithGnuBase64) {
#ifdef _WIN32
  GTEST_SKIP() << "GNU base64 is a tool of the build machine";
#else
  const std::string bytes = RandomBytes(100000, 4);
  WriteAll(Path(in), bytes);
  ASSERT_EQ(codec.EncodeFile(in, out), kTrue16);
  const std::string command = "base64 -w 72 '" + Path(in) + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string gnu;
  char chunk[4096];
  while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) gnu.append(chunk, n);
  ASSERT_EQ(::pclose(pipe), 0);
  ASSERT_EQ(gnu.back(), '\n');
  gnu.pop_back();
  EXPECT_EQ(ReadAll(Path(out)), gnu);

  // Other tools' text: 76 columns, CR LF line ends; each decodes at any block size.
  for (const char* columns : {"72", "76", "64"}) {
    for (const bool crlf : {false, true}) {
      const std::u16string text = Name("gnu");
      const std::string make = std::string("base64 -w ") + columns + " '" + Path(in) + "'" +
                               (crlf ? " | sed 's/$/\\r/'" : "") + " > '" + Path(text) + "'";
      ASSERT_EQ(std::system(make.c_str()), 0);
      for (const std::int32_t size : {584, 1000, 1048576}) {
        codec.BlockSize(size);
        std::u16string source = text;
        ASSERT_EQ(codec.DecodeFile(source, out), kTrue16) << columns << " " << size;
        EXPECT_EQ(ReadAll(Path(out)), bytes) << columns << (crlf ? " crlf " : " lf ") << size;
      }
    }
  }
  EXPECT_EQ(codec.LastErrorCode(), 0);
#endif
}

TEST_F(FileRunTest, MissingInputRaisesOnlyTheErrorAndCreatesNothing) {
  const std::vector<std::string> leaves = {"absent", "", "no/such/folder/x"};
  for (const std::string& leaf : leaves) {
    SCOPED_TRACE(leaf);
    recorder.events.clear();
    std::u16string source = leaf.empty() ? u"" : Name(leaf);
    EXPECT_EQ(codec.EncodeFile(source, out), kFalse16);
    EXPECT_EQ(codec.DecodeFile(source, out), kFalse16);
    EXPECT_THAT(recorder.events, ElementsAre("ErrorOccured 90002", "ErrorOccured 90002"));
    EXPECT_EQ(codec.LastErrorCode(), 90002);
    EXPECT_EQ(codec.LastErrorDescription(), u"文件不存在 / 打开文件错误:" + source);
    EXPECT_FALSE(fs::exists(Path(out)));
  }
}

TEST_F(FileRunTest, CancelAtEachAnnouncement) {
  WriteAll(Path(in), RandomBytes(200, 5));
  codec.BlockSize(54);
  codec.Decode(u"#");  // an earlier error, which a cancel leaves alone
  const auto code = codec.LastErrorCode();
  struct Row {
    const char* cancelAt;
    Bool16 result;
    std::vector<std::string> events;
    std::string output;  // "-" for no output file
  };
  const std::string all = Encoded(RandomBytes(200, 5));
  const Row rows[] = {
      {"BeforeFileOpenIn", kFalse16, {"BeforeFileOpenIn " + Path(in)}, "-"},
      {"BeforeFileOpenOut",
       kFalse16,
       {"BeforeFileOpenIn " + Path(in), "BeforeFileOpenOut " + Path(out)},
       "-"},
      {"BlockRead 1/4", kTrue16, CompletedRun({"BlockRead 1/4 mode 0"}, true), all.substr(0, 73)},
      {"BlockRead 2/4", kTrue16,
       CompletedRun({"BlockRead 1/4 mode 0", "BlockRead 2/4 mode 0"}, true), all.substr(0, 146)},
      {"BlockRead 4/4", kTrue16,
       CompletedRun({"BlockRead 1/4 mode 0", "BlockRead 2/4 mode 0", "BlockRead 3/4 mode 0",
                     "BlockRead 4/4 mode 0"},
                    true),
       all},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cancelAt);
    fs::remove(Path(out));
    recorder.events.clear();
    recorder.cancelAt = row.cancelAt;
    EXPECT_EQ(codec.EncodeFile(in, out), row.result);
    EXPECT_THAT(recorder.events, ElementsAreArray(row.events));
    EXPECT_EQ(fs::exists(Path(out)) ? ReadAll(Path(out)) : "-", row.output);
    EXPECT_EQ(codec.LastErrorCode(), code);
  }
  // The flag is the run's own: the next run starts uncancelled.
  recorder.cancelAt.clear();
  EXPECT_EQ(codec.EncodeFile(in, out), kTrue16);
  EXPECT_EQ(ReadAll(Path(out)), all);
}

TEST_F(FileRunTest, FailuresAfterTheInputIsOpenCloseBothFilesAndRaiseNoCloseEvents) {
  WriteAll(Path(in), RandomBytes(100, 6));
  struct Row {
    const char* name;
    std::int32_t blockSize;
    std::u16string target;
    std::int32_t code;
  };
  std::vector<Row> rows = {
      {"missing folder", 54, Name("no/such/folder"), 76},
      {"output is a folder", 54, Name(""), 75},
      {"block size 0", 0, out, 11},
      {"negative block size", -54, out, 5},
  };
#ifndef _WIN32
  rows.push_back({"disk full", 54, u"/dev/full", 61});
#endif
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    recorder.events.clear();
    codec.BlockSize(row.blockSize);
    std::u16string target = row.target;
    EXPECT_EQ(codec.EncodeFile(in, target), kFalse16);
    EXPECT_THAT(recorder.events,
                ElementsAre("BeforeFileOpenIn " + Path(in), "BeforeFileOpenOut " + Path(target),
                            "ErrorOccured " + std::to_string(row.code)));
    EXPECT_EQ(codec.LastErrorCode(), row.code);
    EXPECT_FALSE(codec.LastErrorDescription().empty());
    EXPECT_FALSE(fs::exists(Path(out)));  // a refused block size leaves the output alone
  }
#ifdef _WIN32
  // Nothing is left open: Windows refuses to delete a file that a handle still holds.
  EXPECT_TRUE(fs::remove(Path(in)));
#else
  // Nothing is left open: the process holds no descriptor for either file.
  std::size_t open = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code ignored;
    const auto target = fs::read_symlink(entry.path(), ignored).string();
    if (target.find(dir.string()) == 0 || target == "/dev/full") ++open;
  }
  EXPECT_EQ(open, 0u);
#endif
}

TEST_F(FileRunTest, ExistingLongerOutputIsTruncated) {
  WriteAll(Path(out), std::string(10000, 'x'));
  WriteAll(Path(in), "abc");
  EXPECT_EQ(codec.EncodeFile(in, out), kTrue16);
  EXPECT_EQ(ReadAll(Path(out)), "YWJj");
}

TEST_F(FileRunTest, BlockThatCannotBeDecodedIsSkippedAndTheRunGoesOn) {
  const std::string bytes = RandomBytes(54 * 24, 7);  // 24 lines: three blocks of 584
  std::string text = Encoded(bytes);
  text[600] = '#';  // inside the second block
  WriteAll(Path(in), text);
  codec.BlockSize(584);
  EXPECT_EQ(codec.DecodeFile(in, out), kTrue16);
  EXPECT_THAT(recorder.events,
              ElementsAreArray(CompletedRun({"BlockRead 1/3 mode 1", "ErrorOccured 5",
                                             "BlockRead 2/3 mode 1", "BlockRead 3/3 mode 1"},
                                            false)));
  EXPECT_EQ(ReadAll(Path(out)), bytes.substr(0, 432) + bytes.substr(864));
  EXPECT_NE(codec.LastErrorDescription().find(u"第 601 个字节"), std::u16string::npos);
}

TEST_F(FileRunTest, WithoutTheComponentOnlyLineFeedsAreWritten) {
  xml::ComponentRegistry::Register(xml::kDomDocumentProgId, nullptr);
  Base64 unavailable;
  WriteAll(Path(in), RandomBytes(150, 8));
  unavailable.BlockSize(54);
  EXPECT_EQ(unavailable.EncodeFile(in, out), kTrue16);
  EXPECT_EQ(ReadAll(Path(out)), "\n\n");
  EXPECT_EQ(unavailable.DecodeFile(in, out), kTrue16);
  EXPECT_EQ(ReadAll(Path(out)), "");
}

// Hands the caller's variables back for inspection, and changes the block size mid-run.
class CallerVariables : public Base64Events {
 public:
  explicit CallerVariables(Base64& codec) : codec_(codec) {}
  void FileEncodeComplete(std::u16string& original, std::u16string& encoded) override {
    originalSeen = &original;
    encodedSeen = &encoded;
  }
  void BlockRead(std::int32_t, std::int32_t total, std::int32_t, Bool16&) override {
    totals.push_back(total);
    codec_.BlockSize(1);
  }
  std::u16string* originalSeen = nullptr;
  std::u16string* encodedSeen = nullptr;
  std::vector<std::int32_t> totals;

 private:
  Base64& codec_;
};

TEST_F(FileRunTest, CompletionGetsTheCallersVariablesAndBlockSizeHoldsForTheRun) {
  CallerVariables listener(codec);
  codec.Attach(listener);
  WriteAll(Path(in), RandomBytes(540, 9));
  codec.BlockSize(108);
  EXPECT_EQ(codec.EncodeFile(in, out), kTrue16);
  EXPECT_EQ(listener.originalSeen, &in);
  EXPECT_EQ(listener.encodedSeen, &out);
  EXPECT_EQ(listener.totals, std::vector<std::int32_t>(5, 5));  // 540 / 108, all run long
  EXPECT_EQ(Base64Peer::EncodeBlockSize(codec), 54);            // the next run's size
}

TEST_F(FileRunTest, FilesOfTwoGibibytesAndMoreAreCountedIn64Bits) {
  // Sparse files: their size costs no disk and nothing is read past the first block.
  const std::string big = Path(Name("big"));
  const std::int64_t size = (std::int64_t{4} << 30) + 7;  // wraps to 7 in 32 bits
  ASSERT_NO_FATAL_FAILURE(MakeSparse(big, size));
  std::u16string source = Name("big");
  recorder.cancelAt = "BlockRead";
  EXPECT_EQ(codec.EncodeFile(source, out), kTrue16);
  const std::int64_t blocks = (size + 1048625) / 1048626;
  EXPECT_EQ(recorder.events[2], "BlockRead 1/" + std::to_string(blocks) + " mode 0");
  EXPECT_EQ(ReadAll(Path(out)).size(), 1048626u / 54 * 73);

  // More blocks than a block counter can count: refused before anything is read.
  ASSERT_NO_FATAL_FAILURE(MakeSparse(big, std::int64_t{54} * (std::int64_t{1} << 31) + 54));
  codec.BlockSize(54);
  recorder.events.clear();
  EXPECT_EQ(codec.EncodeFile(source, out), kFalse16);
  EXPECT_EQ(recorder.events.back(), "ErrorOccured 6");
}

// A sparse file of 4 GiB of NUL bytes, decoded to the end: every block fails to decode and is
// skipped, so the run reads the whole file, counts its blocks in 64 bits, and holds no more
// than a block's worth of memory at any time.
TEST_F(FileRunTest, FourGibibyteFileIsReadToTheEndWithinABlocksMemory) {
  const std::string big = Path(Name("big"));
  const std::int64_t size = (std::int64_t{4} << 30) + 3;
  ASSERT_NO_FATAL_FAILURE(MakeSparse(big, size));
  std::u16string source = Name("big");
  codec.Detach(recorder);
  struct Count : Base64Events {
    void BlockRead(std::int32_t current, std::int32_t total, std::int32_t, Bool16&) override {
      last = current;
      totals = total;
    }
    void ErrorOccured(std::int32_t code, const std::u16string&) override {
      if (code == 5) ++failedBlocks;
    }
    std::int32_t last = 0, totals = 0, failedBlocks = 0;
  } count;
  codec.Attach(count);
  codec.BlockSize(8 << 20);
  const std::int64_t block = Base64Peer::DecodeBlockSize(codec);  // 8 MiB, rounded to 584
  const auto expected = static_cast<std::int32_t>((size + block - 1) / block);
  ASSERT_EQ(expected, 512);
  const std::optional<std::int64_t> rise = PeakMemoryRise([&] {
    return codec.DecodeFile(source, out) == kTrue16 && count.last == expected &&
           count.totals == expected && count.failedBlocks == expected &&
           fs::file_size(Path(out)) == 0;
  });
  ASSERT_TRUE(rise) << "the run failed, or its blocks were miscounted";
  if (kMemoryIsMeasurable) {
    EXPECT_LT(*rise, std::int64_t{64} << 20);
  }
}

// The largest block sizes are taken as they are, and a small file still needs no more memory
// than its own size: the buffer is never larger than the file.
TEST_F(FileRunTest, LargestBlockSizeConvertsSmallFilesWithoutReservingIt) {
  const std::string bytes = RandomBytes(1000, 21);
  WriteAll(Path(in), bytes);
  codec.BlockSize(2147483610);
  EXPECT_EQ(Base64Peer::EncodeBlockSize(codec), 2147483610);
  EXPECT_EQ(Base64Peer::DecodeBlockSize(codec), 2147483632);
  std::u16string back = Name("back");
  const std::optional<std::int64_t> rise = PeakMemoryRise([&] {
    return codec.EncodeFile(in, out) == kTrue16 && codec.DecodeFile(out, back) == kTrue16;
  });
  ASSERT_TRUE(rise) << "a run failed";
  if (kMemoryIsMeasurable) {
    EXPECT_LT(*rise, std::int64_t{16} << 20);
  }
  EXPECT_EQ(ReadAll(Path(back)), bytes);
  EXPECT_EQ(codec.LastErrorCode(), 0);
}

}  // namespace
}  // namespace zentrova
