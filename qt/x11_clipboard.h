// The X11 clipboard's text, read straight from the program that holds it. Qt's own reader
// waits up to 50 ms for each piece of a large (incremental) transfer, and owners such as xclip
// send small pieces, so a link of a few megabytes took minutes to arrive; this reads as fast as
// the owner sends.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zentrova::ui {

// The text of the CLIPBOARD selection as UTF-8 (asked for as UTF8_STRING, then as Latin-1
// STRING), "" when no program holds it or it holds no text. nullopt when no X display can be
// reached. Throws std::runtime_error when the owner falls silent for `patience` mid-way.
// Never call it while this program owns the clipboard: the owner would be waiting on itself.
std::optional<std::string> ReadX11ClipboardText(
    std::chrono::milliseconds patience = std::chrono::seconds(5));

}  // namespace zentrova::ui
