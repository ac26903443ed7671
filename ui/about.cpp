#include "ui/about.h"

#include "ui/author.h"

namespace zentrova::ui {

std::u16string AboutText() {
  return std::u16string(u"By ")
      .append(author::kName)
      .append(u"  -  QQ:")
      .append(author::kMessengerNumber)
      .append(u"\r\n\r\n")
      .append(author::kWebAddress);
}

std::u16string FailureReport(std::int32_t code, std::u16string_view description) {
  std::u16string report = u"错误 ";
  for (char c : std::to_string(code)) report += static_cast<char16_t>(c);
  return report + u"：" + std::u16string(description);
}

}  // namespace zentrova::ui
