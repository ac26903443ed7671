#include "handler/refusal.h"

#include <cstdio>

#include "messages/messages.h"
#include "ui/failure_box.h"

namespace zentrova::handler {

int Refuse(const std::string& why) {
  const std::string text = cli::Say("Zentrova cannot open the link: {0}", {why});
  std::fputs(("zentrova-open: " + text + "\n").c_str(), stderr);
  ui::ShowFailureBox(text);
  return 1;
}

}  // namespace zentrova::handler
