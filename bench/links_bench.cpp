// Lists of links as batch converts them: 100,000 lines of mixed kinds, opened and made.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "codec/code_page.h"
#include "lists/found_links.h"

namespace {

using namespace zentrova::links;
using namespace zentrova::lists;

// A forum post's worth of lines, repeated: links in text, wrapped, nested, UTF-8 and GBK
// payloads, plain addresses and a line that fails.
std::vector<std::u16string> MixedList(std::size_t lines) {
  const std::u16string kinds[] = {
      u"下载: thunder://QUFodHRwOi8vZXhhbXBsZS5jb20vZmlsZXMvYS56aXBaWg== 谢谢",
      u"<a href=\"flashget://W0ZMQVNIR0VUXWh0dHA6Ly9hL2JbRkxBU0hHRVRd&abc\">下载</a>",
      u"qqdl://aHR0cDovL2Ev5Lit5paH",
      u"qqdl://aHR0cDovL2Ev1tDOxA==",
      u"flashget://dGh1bmRlcjovL1FVRm9kSFJ3T2k4dmJpOWxXbG89",
      u"thunder://QUFtYWduZXQ6P3h0PXVybjpidGloOmFiY1pa",
      u"http://plain.example/file.rar",
      u"谢谢楼主",
  };
  std::vector<std::u16string> list;
  for (std::size_t i = 0; i < lines; ++i) list.push_back(kinds[i % std::size(kinds)]);
  return list;
}

void OpenList(benchmark::State& state) {
  zentrova::codepage::SetNarrowCodePage(936);
  const auto list = MixedList(100000);
  for (auto _ : state) {
    for (const auto& line : list) benchmark::DoNotOptimize(OpenFoundLink(line, Charset::kAuto));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * list.size()));
}
BENCHMARK(OpenList)->Unit(benchmark::kMillisecond);

void MakeList(benchmark::State& state) {
  zentrova::codepage::SetNarrowCodePage(936);
  std::vector<std::u16string> list(100000, u"下载地址 http://example.com/files/中文/a.zip 谢谢");
  for (auto _ : state) {
    for (const auto& line : list) {
      benchmark::DoNotOptimize(MakeFoundLink(LinkKind::kThunder, line, Charset::kAuto));
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * list.size()));
}
BENCHMARK(MakeList)->Unit(benchmark::kMillisecond);

}  // namespace
