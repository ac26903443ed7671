#include "ui/about.h"

#include "ui/author.h"

namespace zentrova::ui {

std::u16string AboutText() {
  return u"By " + std::u16string(author::kName) + u"  -  QQ:" +
         std::u16string(author::kMessengerNumber) + u"\r\n\r\n" +
         std::u16string(author::kWebAddress);
}

std::u16string FailureReport(std::int32_t code, std::u16string_view description) {
  std::u16string report = u"错误 ";
  for (char c : std::to_string(code)) report += static_cast<char16_t>(c);
  return report + u"：" + std::u16string(description);
}

}  // namespace zentrova::ui
