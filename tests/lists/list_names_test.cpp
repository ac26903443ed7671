// A list's work as every front end names it: the mode, the reading and the form, and the first
// name refused.
#include "lists/list_names.h"

#include <gtest/gtest.h>

namespace zentrova::lists {
namespace {

using Problem = ListWorkProblem;

TEST(ListNamesTest, WorkIsNamedAsTheCommandLineNamesItOrTheFirstNameIsRefused) {
  const struct {
    const char* mode;
    const char* charset;
    const char* form;
    ListWork work;
    std::optional<Problem> problem;
  } rows[] = {
      {"decode", "auto", "lines", {ListMode::kDecode, Charset::kAuto, HandOffForm::kLines}, {}},
      {"decode", "936", "aria2", {ListMode::kDecode, Charset::kCodePage, HandOffForm::kAria2}, {}},
      {"decode", "utf-8", "ef2", {ListMode::kDecode, Charset::kUtf8, HandOffForm::kEf2}, {}},
      {"decode", "UTF-8", "json", {ListMode::kDecode, Charset::kUtf8, HandOffForm::kJson}, {}},
      {"thunder", "auto", "json", {ListMode::kThunder, Charset::kAuto, HandOffForm::kJson}, {}},
      {"flashget", "936", "lines", {ListMode::kFlashGet, Charset::kCodePage}, {}},
      {"qqdl", "utf-8", "lines", {ListMode::kQQWhirlwind, Charset::kUtf8}, {}},
      // Names are exact: no other case, no other spelling.
      {"Thunder", "auto", "lines", {}, Problem::kUnknownMode},
      {"ed2k", "auto", "lines", {}, Problem::kUnknownMode},
      {"", "auto", "lines", {}, Problem::kUnknownMode},
      {"decode", "gbk", "lines", {}, Problem::kUnknownCharset},
      {"decode", "utf8", "lines", {}, Problem::kUnknownCharset},
      {"decode", "", "lines", {}, Problem::kUnknownCharset},
      {"decode", "auto", "ARIA2", {}, Problem::kUnknownForm},
      {"decode", "auto", "idm", {}, Problem::kUnknownForm},
      {"decode", "auto", "", {}, Problem::kUnknownForm},
      // aria2 and IDM take downloads, not made links.
      {"thunder", "auto", "aria2", {}, Problem::kFormHoldsOnlyDownloads},
      {"qqdl", "936", "ef2", {}, Problem::kFormHoldsOnlyDownloads},
      // The first name refused is the one said.
      {"link", "latin1", "idm", {}, Problem::kUnknownMode},
      {"thunder", "latin1", "aria2", {}, Problem::kUnknownCharset},
      {"thunder", "auto", "idm", {}, Problem::kUnknownForm},
  };
  for (const auto& row : rows) {
    const NamedListWork named = ListWorkNamed(row.mode, row.charset, row.form);
    const std::string where = std::string(row.mode) + " " + row.charset + " " + row.form;
    EXPECT_EQ(named.problem, row.problem) << where;
    if (row.problem) continue;
    EXPECT_EQ(named.work.mode, row.work.mode) << where;
    EXPECT_EQ(named.work.charset, row.work.charset) << where;
    EXPECT_EQ(named.work.form, row.work.form) << where;
  }
}

}  // namespace
}  // namespace zentrova::lists
