#include "checks/verdict_words.h"

#include <array>
#include <cstdio>

#include "links/filled_in.h"
#include "lists/json_text.h"

namespace zentrova::checks {
namespace {

constexpr const char* Words(const char* english) { return english; }

const char* StateSentence(State state) {
  switch (state) {
    case State::kAlive:
      return Words("alive");
    case State::kDead:
      return Words("dead: {0}");
    case State::kUnknown:
      return Words("unknown: {0}");
    case State::kRefused:
      return Words("refused: {0}");
  }
  return Words("unknown: {0}");
}

}  // namespace

std::string SizeWords(std::uint64_t size, const lists::Translation& translate) {
  if (size < 1024) return links::FilledIn(translate(Words("{0} bytes")), {std::to_string(size)});
  static constexpr std::array<const char*, 4> kUnits = {"KiB", "MiB", "GiB", "TiB"};
  double value = static_cast<double>(size) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < kUnits.size()) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

std::string VerdictWords(const Verdict& verdict, const lists::Translation& translate) {
  if (verdict.state == State::kAlive) {
    std::string details;
    if (verdict.size) details = SizeWords(*verdict.size, translate);
    if (verdict.type) details += (details.empty() ? "" : ", ") + *verdict.type;
    const std::string alive = translate(StateSentence(State::kAlive));
    if (details.empty()) return alive;
    return links::FilledIn(translate(Words("{0} ({1})")), {alive, details});
  }
  std::string reason = verdict.reason ? translate(verdict.reason) : std::string();
  if (verdict.status) {
    reason =
        links::FilledIn(translate(Words("{0} ({1})")), {reason, std::to_string(*verdict.status)});
  }
  return links::FilledIn(translate(StateSentence(verdict.state)), {reason});
}

namespace {

void AppendStringOrNull(const std::optional<std::string_view>& text, std::string& out) {
  if (text) {
    lists::AppendJsonString(*text, out);
  } else {
    out += "null";
  }
}

}  // namespace

std::string CheckMember(const Verdict& verdict) {
  std::string out = ",\"check\":{\"state\":\"";
  out += StateName(verdict.state);
  out += "\",\"status\":";
  out += verdict.status ? std::to_string(*verdict.status) : "null";
  out += ",\"size\":";
  out += verdict.size ? std::to_string(*verdict.size) : "null";
  out += ",\"type\":";
  AppendStringOrNull(verdict.type, out);
  out += ",\"reason\":";
  AppendStringOrNull(
      verdict.reason ? std::optional<std::string_view>(verdict.reason) : std::nullopt, out);
  out += ",\"final\":";
  AppendStringOrNull(verdict.final, out);
  out += '}';
  return out;
}

}  // namespace zentrova::checks
