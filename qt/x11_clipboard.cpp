#include "qt/x11_clipboard.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace zentrova::ui {
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

struct Connection {
  xcb_connection_t* x = xcb_connect(nullptr, nullptr);
  ~Connection() { xcb_disconnect(x); }
};

xcb_atom_t Intern(xcb_connection_t* x, std::string_view name) {
  auto reply = Own(xcb_intern_atom_reply(
      x, xcb_intern_atom(x, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Waits for the next event of `type` for `window` on this private connection (nothing else
// listens there), or throws once the owner has been silent for `patience`.
Reply<xcb_generic_event_t> WaitFor(xcb_connection_t* x, xcb_window_t window, std::uint8_t type,
                                   std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    while (auto event = Own(xcb_poll_for_event(x))) {
      const std::uint8_t kind = event->response_type & 0x7F;
      if (kind == XCB_SELECTION_NOTIFY && type == kind &&
          reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->requestor == window) {
        return event;
      }
      if (kind == XCB_PROPERTY_NOTIFY && type == kind) {
        auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event.get());
        if (notify->window == window && notify->state == XCB_PROPERTY_NEW_VALUE) return event;
      }
    }
    if (xcb_connection_has_error(x))
      throw std::runtime_error("the X display closed the connection");
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      throw std::runtime_error("the program holding the clipboard does not answer");
    pollfd readable{xcb_get_file_descriptor(x), POLLIN, 0};
    poll(&readable, 1, static_cast<int>(left.count()));
  }
}

// Reads and deletes `property` of `window`: its type and all of its bytes.
std::pair<xcb_atom_t, std::string> TakeProperty(xcb_connection_t* x, xcb_window_t window,
                                                xcb_atom_t property) {
  std::string bytes;
  xcb_atom_t type = XCB_ATOM_NONE;
  std::uint32_t offset = 0;  // in 32-bit units, as the protocol counts
  for (;;) {
    // A megabyte a reply keeps each reply well within what the server sends at once.
    auto reply = Own(xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, offset, 1 << 18),
        nullptr));
    if (!reply) throw std::runtime_error("the clipboard's text cannot be read");
    type = reply->type;
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    bytes.append(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
    if (reply->bytes_after == 0) break;
    offset += static_cast<std::uint32_t>(length / 4);
  }
  xcb_delete_property(x, window, property);
  xcb_flush(x);
  return {type, std::move(bytes)};
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  utf8.reserve(latin1.size());
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (byte >> 6));
      utf8 += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

std::optional<std::string> ReadX11ClipboardText(std::chrono::milliseconds patience) {
  Connection connection;
  xcb_connection_t* x = connection.x;
  if (xcb_connection_has_error(x)) return std::nullopt;
  const xcb_atom_t clipboard = Intern(x, "CLIPBOARD");
  const xcb_atom_t utf8 = Intern(x, "UTF8_STRING");
  const xcb_atom_t incremental = Intern(x, "INCR");
  const xcb_atom_t property = Intern(x, "ZENTROVA_CLIPBOARD");

  auto owner =
      Own(xcb_get_selection_owner_reply(x, xcb_get_selection_owner(x, clipboard), nullptr));
  if (!owner || owner->owner == XCB_WINDOW_NONE) return std::string();

  // A window of our own to receive the text, told of every change to its properties: the
  // pieces of an incremental transfer arrive as such changes.
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
  const xcb_window_t window = xcb_generate_id(x);
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(x, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &events);

  for (const xcb_atom_t target : {utf8, xcb_atom_t{XCB_ATOM_STRING}}) {
    xcb_convert_selection(x, window, clipboard, target, property, XCB_CURRENT_TIME);
    xcb_flush(x);
    auto event = WaitFor(x, window, XCB_SELECTION_NOTIFY, patience);
    if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_ATOM_NONE) {
      continue;  // the owner has no text of this kind
    }
    auto [type, bytes] = TakeProperty(x, window, property);
    if (type == incremental) {
      // Deleting the announcement asked for the first piece; each piece is read and deleted
      // in turn, and an empty one ends the transfer.
      bytes.clear();
      for (;;) {
        WaitFor(x, window, XCB_PROPERTY_NOTIFY, patience);
        auto [pieceType, piece] = TakeProperty(x, window, property);
        if (piece.empty()) break;
        bytes += piece;
      }
    }
    return target == utf8 ? bytes : Latin1ToUtf8(bytes);
  }
  return std::string();
}

}  // namespace zentrova::ui
