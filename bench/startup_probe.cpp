// One launch of the window program, timed from exec by X events rather than by polling: the
// window's map, then a synthetic click on a conversion button and the program taking the
// clipboard in answer. Prints "MAPPED_MS READY_MS".
//   startup_probe PROGRAM X Y   (X, Y: the button's centre in client coordinates)
// Whatever serves the clipboard's source text must own it before the launch.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool IsMainWindow(Display* display, Window window) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) == 0 || name == nullptr) return false;
  const bool found = std::strncmp(name, "Zentrova - By", 13) == 0;
  XFree(name);
  return found;
}

// The main window among the top-level windows and their children (a window manager
// reparents the program's window into its frame).
Window FindMainWindow(Display* display, Window parent, int depth) {
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
        attributes.map_state != IsViewable) {
      continue;
    }
    if (IsMainWindow(display, children[i])) {
      found = children[i];
    } else if (depth > 0) {
      found = FindMainWindow(display, children[i], depth - 1);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// Waits for the next event up to the deadline; false when it passes first.
bool NextEvent(Display* display, XEvent& event, Clock::time_point deadline) {
  while (XPending(display) == 0) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
    timeval timeout{static_cast<time_t>(micros / 1000000),
                    static_cast<suseconds_t>(micros % 1000000)};
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(ConnectionNumber(display), &readable);
    select(ConnectionNumber(display) + 1, &readable, nullptr, nullptr, &timeout);
  }
  XNextEvent(display, &event);
  return true;
}

void Click(Display* display, Window window, int x, int y) {
  int screenX = 0;
  int screenY = 0;
  Window child = 0;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &screenX, &screenY,
                        &child);
  XTestFakeMotionEvent(display, -1, screenX, screenY, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XFlush(display);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: startup_probe PROGRAM X Y\n");
    return 2;
  }
  const std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr),
                                                               XCloseDisplay);
  Display* display = connection.get();
  if (display == nullptr) {
    std::fprintf(stderr, "startup_probe: no X display\n");
    return 2;
  }
  int fixesEvent = 0;
  int fixesError = 0;
  if (XFixesQueryExtension(display, &fixesEvent, &fixesError) == 0) {
    std::fprintf(stderr, "startup_probe: no XFIXES\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  XSelectInput(display, root, SubstructureNotifyMask);
  XFixesSelectSelectionInput(display, root, clipboard, XFixesSetSelectionOwnerNotifyMask);
  XSync(display, False);

  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execl(argv[1], argv[1], static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto stop = [&](int status) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return status;
  };

  const auto deadline = start + std::chrono::seconds(10);
  Window window = 0;
  XEvent event;
  while (window == 0) {
    if (!NextEvent(display, event, deadline)) return stop(1);
    if (event.type == MapNotify) window = FindMainWindow(display, root, 2);
  }
  const double mapped = MillisecondsSince(start);

  // A click that lands before the program reads its input waits in the queue; one that lands
  // before the window takes input is lost, so it is repeated until the clipboard changes.
  const int x = std::atoi(argv[2]);
  const int y = std::atoi(argv[3]);
  double ready = -1;
  while (ready < 0) {
    Click(display, window, x, y);
    const auto retry = std::min(deadline, Clock::now() + std::chrono::milliseconds(50));
    while (NextEvent(display, event, retry)) {
      if (event.type == fixesEvent + XFixesSelectionNotify) {
        ready = MillisecondsSince(start);
        break;
      }
    }
    if (Clock::now() >= deadline) return stop(1);
  }
  std::printf("%.1f %.1f\n", mapped, ready);
  return stop(0);
}
