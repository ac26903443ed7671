// Special links as they were really posted (tests/lists/data/posted_links.txt): each line gives
// the address a person reads from it, or fails for the reason the data names.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "codec/code_page.h"
#include "codec/utf8.h"
#include "lists/found_links.h"

namespace zentrova::lists {
namespace {

struct Record {
  std::string source, line, expected;  // expected: "> address" or "! part of the reason"
  int lineNumber = 0;
};

std::vector<Record> ReadRecords() {
  std::ifstream file(ZENTROVA_POSTED_LINKS);
  std::vector<Record> records;
  Record record;
  std::string text;
  for (int number = 1; std::getline(file, text); ++number) {
    if (text.starts_with("@ ")) {
      record = {text.substr(2), {}, {}, number};
    } else if (text.starts_with("< ")) {
      record.line = text.substr(2);
    } else if (text.starts_with("> ") || text.starts_with("! ")) {
      record.expected = text;
      records.push_back(record);
    }
  }
  return records;
}

TEST(PostedLinksTest, EveryPostedLinkGivesTheAddressAPersonReads) {
  ASSERT_TRUE(codepage::SetNarrowCodePage(936));
  const std::vector<Record> records = ReadRecords();
  ASSERT_GE(records.size(), 60u) << "the data file " << ZENTROVA_POSTED_LINKS;
  for (const Record& record : records) {
    const LineResult result = OpenFoundLink(FromUtf8(record.line), Charset::kAuto);
    const std::string where =
        "data line " + std::to_string(record.lineNumber) + " (" + record.source + ")";
    if (record.expected.starts_with("> ")) {
      EXPECT_EQ(result.kind, LineResult::Kind::kConverted) << where << ": " << Reason(result);
      EXPECT_EQ(ToUtf8(result.text), record.expected.substr(2)) << where;
    } else {
      EXPECT_EQ(result.kind, LineResult::Kind::kFailed) << where;
      EXPECT_NE(Reason(result).find(record.expected.substr(2)), std::string::npos)
          << where << ": " << Reason(result);
    }
  }
}

}  // namespace
}  // namespace zentrova::lists
