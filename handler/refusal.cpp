#include "handler/refusal.h"

#include <cstdio>

#include "handler/failure_box.h"
#include "messages/messages.h"

namespace zentrova::handler {

int Refuse(const std::string& why) {
  const std::string text = cli::Say("Zentrova cannot open the link: {0}", {why});
  std::fputs(("zentrova-open: " + text + "\n").c_str(), stderr);
  ShowFailureBox(text);
  return 1;
}

}  // namespace zentrova::handler
