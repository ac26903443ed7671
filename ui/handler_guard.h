// A failure that reaches a window handler (the clipboard, a text box, the codec's creation) is
// caught at the handler's edge, to be shown in a message box while the program goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zentrova::ui {

struct HandlerFailure {
  std::int32_t code;
  std::u16string description;
};

// Runs `handler` to its end or to its first failure; returns that failure, if any.
std::optional<HandlerFailure> RunGuarded(const std::function<void()>& handler);

}  // namespace zentrova::ui
