#include "ui/handler_guard.h"

#include <new>
#include <stdexcept>

#include "codec/codec_error.h"
#include "codec/utf8.h"

namespace zentrova::ui {

// The codes follow the codec's: its own errors keep theirs, memory runs out as the codec
// reports it, and anything else, which has no code of its own, is -1.
std::optional<HandlerFailure> RunGuarded(const std::function<void()>& handler) {
  try {
    handler();
    return std::nullopt;
  } catch (const CodecError& e) {
    return HandlerFailure{e.code(), e.description()};
  } catch (const std::bad_alloc&) {
    return HandlerFailure{errors::kOutOfMemory, std::u16string(errors::kOutOfMemoryText)};
  } catch (const std::exception& e) {
    return HandlerFailure{-1, FromUtf8(e.what())};
  }
}

}  // namespace zentrova::ui
