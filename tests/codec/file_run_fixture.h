// What the file-run tests share: real files in a folder of their own, an event recorder, and
// helpers for bytes, encoded text and memory.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>

#include "base64_peer.h"
#include "codec/base64.h"
#include "codec/base64_transform.h"
#include "codec/code_page.h"
#include "codec/xml_dom.h"
#include "event_recorder.h"

namespace zentrova::testing {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// The encoded text of `bytes` in one piece (the transform is checked against RFC 4648 and
// GNU base64 on its own).
inline std::string Encoded(const std::string& bytes) {
  std::string text;
  base64::EncodeAppend(bytes, text);
  return text;
}

inline int ProcessId() {
#ifdef _WIN32
  return ::_getpid();
#else
  return static_cast<int>(::getpid());
#endif
}

// Sanitizers keep freed memory in quarantine, so peak memory says nothing under them; on
// Windows the tests do not measure it.
#if defined(_WIN32) || defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

// Runs `work` in a child process and returns how far its peak resident memory rose above
// what the process held when it began, in bytes (0 when it never did); nothing when `work`
// returned false.
template <typename Work>
std::optional<std::int64_t> PeakMemoryRise(Work work) {
#ifdef _WIN32
  return work() ? std::optional<std::int64_t>(0) : std::nullopt;
#else
  long pages = 0;
  long resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  const std::int64_t before = std::int64_t{resident} * ::sysconf(_SC_PAGESIZE);
  int channel[2];
  if (::pipe(channel) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::int64_t rise = -1;
    if (work()) {
      rusage usage{};
      ::getrusage(RUSAGE_SELF, &usage);
      rise = std::max<std::int64_t>(0, std::int64_t{usage.ru_maxrss} * 1024 - before);
    }
    const bool sent = ::write(channel[1], &rise, sizeof rise) == sizeof rise;
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  std::int64_t rise = -1;
  if (::read(channel[0], &rise, sizeof rise) != sizeof rise) rise = -1;
  ::close(channel[0]);
  ::waitpid(child, nullptr, 0);
  if (rise < 0) return std::nullopt;
  return rise;
#endif
}

// A file of `size` bytes that costs no disk: nothing but its length is written.
inline void MakeSparse(const std::string& path, std::int64_t size) {
#ifdef _WIN32
  // (The C runtime under resize_file stops at 2 GiB here.)
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = size;
  EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
#else
  std::ofstream(path, std::ios::binary | std::ios::trunc).close();
  fs::resize_file(path, static_cast<std::uintmax_t>(size));
#endif
}

class FileRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(codepage::SetNarrowCodePage(936));
    dir = fs::temp_directory_path() /
          ("zentrova-files-" + std::to_string(ProcessId()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    in = Name("in");
    out = Name("out");
    codec.Attach(recorder);
  }
  void TearDown() override {
    fs::remove_all(dir);
    xml::ComponentRegistry::RestoreDefaults();
  }

  std::u16string Name(const std::string& leaf) {
    const std::string path = (dir / leaf).string();
    return std::u16string(path.begin(), path.end());
  }
  static std::string Path(const std::u16string& name) {
    return std::string(name.begin(), name.end());
  }

  // The event lines of a run that opened `in` and `out` and converted these blocks.
  std::vector<std::string> CompletedRun(const std::vector<std::string>& blocks, bool encode) {
    std::vector<std::string> events = {"BeforeFileOpenIn " + Path(in),
                                       "BeforeFileOpenOut " + Path(out)};
    events.insert(events.end(), blocks.begin(), blocks.end());
    events.push_back("AfterFileCloseOut " + Path(out));
    events.push_back("AfterFileCloseIn " + Path(in));
    events.push_back(std::string(encode ? "FileEncodeComplete " : "FileDecodeComplete ") +
                     Path(in) + " -> " + Path(out));
    return events;
  }

  fs::path dir;
  std::u16string in, out;
  Base64 codec;
  EventRecorder recorder;
};

}  // namespace zentrova::testing
