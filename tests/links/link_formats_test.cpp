#include "links/link_formats.h"

#include <gtest/gtest.h>

#include "codec/utf8.h"

namespace zentrova::links {
namespace {

// Stands in for the codec: wraps the text in brackets, so the payload is visible in the link.
std::u16string Bracket(const std::u16string& text) { return u"[" + text + u"]"; }

TEST(SpecialLinksTest, HoldsIsACaseInsensitiveSubstringTest) {
  const std::tuple<std::u16string, std::u16string, bool> rows[] = {
      {u"http://a", u"http://", true},       {u"HTTP://A", u"http://", true},
      {u"see Http://a", u"http://", true},   {u"https://a", u"http://", false},
      {u"http:/", u"http://", false},        {u"", u"http://", false},
      {u"ThUnDeR://x", u"thunder://", true}, {u"ｈttp://", u"http://", false},
  };
  for (const auto& [text, needle, expected] : rows) {
    EXPECT_EQ(Holds(text, needle), expected) << ToUtf8(text);
  }
}

TEST(SpecialLinksTest, FromCountsFromOne) {
  EXPECT_EQ(From(u"abc", 1), u"abc");
  EXPECT_EQ(From(u"abc", 3), u"c");
  EXPECT_EQ(From(u"abc", 4), u"");
  EXPECT_EQ(From(u"abc", 9), u"");
}

TEST(SpecialLinksTest, PayloadsOfTheThreeKinds) {
  struct Row {
    LinkKind kind;
    std::u16string source;
    std::u16string link;
  };
  const Row rows[] = {
      {LinkKind::kThunder, u"http://a/b", u"thunder://[AAhttp://a/bZZ]"},
      {LinkKind::kThunder, u"HTTP://A/B", u"thunder://[AAhttp://A/BZZ]"},
      {LinkKind::kThunder, u"see http://a/b", u"thunder://[AAhttp://p://a/bZZ]"},
      {LinkKind::kThunder, u" http://a/b", u"thunder://[AAhttp:///a/bZZ]"},
      {LinkKind::kThunder, u"http://", u"thunder://[AAhttp://ZZ]"},
      {LinkKind::kFlashGet, u"HTTP://A/B", u"flashget://[HTTP://A/B]"},
      {LinkKind::kFlashGet, u"see http://a/b\n", u"flashget://[see http://a/b\n]"},
      {LinkKind::kQQWhirlwind, u"http://a/b", u"qqdl://[http://a/b]"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MakeSpecialLink(row.kind, row.source, Bracket), row.link) << ToUtf8(row.source);
  }
}

TEST(SpecialLinksTest, SourceWithoutHttpMakesNoLinkAndNeverEncodes) {
  int calls = 0;
  const TextTransform counting = [&](const std::u16string& text) {
    ++calls;
    return text;
  };
  for (const LinkKind kind : {LinkKind::kThunder, LinkKind::kFlashGet, LinkKind::kQQWhirlwind}) {
    for (const std::u16string source : {u"", u"https://a/b", u"ftp://a", u"http:/a"}) {
      EXPECT_FALSE(MakeSpecialLink(kind, source, counting)) << ToUtf8(source);
    }
  }
  EXPECT_EQ(calls, 0);
}

// Stands in for the codec's Decode: takes off the brackets Bracket added, "" for anything else.
std::u16string Unbracket(const std::u16string& text) {
  if (text.size() < 2 || text.front() != u'[' || text.back() != u']') return u"";
  return text.substr(1, text.size() - 2);
}

TEST(SpecialLinksTest, OpensLayersInTheFixedOrder) {
  struct Row {
    std::u16string source;
    std::optional<std::u16string> plain;
  };
  const Row rows[] = {
      {u"thunder://[AAhttp://a/bZZ]", u"http://a/b"},
      {u"THUNDER://[AAhttp://a/bZZ]", u"http://a/b"},
      {u"FlashGet://[http://a/b]", u"http://a/b"},
      {u"QQDL://[http://a/b]", u"http://a/b"},
      {u"flashget://[qqdl://[http://a/b]]", u"http://a/b"},
      {u"thunder://[AAflashget://[http://a/b]ZZ]", u"http://a/b"},
      // Thunder is opened first, so a Thunder link inside another is never reached.
      {u"qqdl://[thunder://[AAhttp://a/bZZ]]", std::nullopt},
      {u"http://a/b", u"http://a/b"},  // a plain link passes unchanged
      {u"https://a/b", std::nullopt},
      {u"thunder://[AAhttps://a/bZZ]", std::nullopt},
      {u"thunder://[AAZZ]", std::nullopt},
      {u"thunder://[ABC]", std::nullopt},  // fewer than four characters decoded
      {u"thunder://", std::nullopt},
      {u"see flashget://[http://a/b]", std::nullopt},  // the cut falls inside the prefix
      {u"", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(OpenSpecialLink(row.source, Unbracket), row.plain) << ToUtf8(row.source);
  }
}

}  // namespace
}  // namespace zentrova::links
