// Opens Probewell's dialog under Wine on an Xvfb display of its own and looks at what is on screen.
#include <gtest/gtest.h>
// Xlib after GoogleTest: its None and Bool macros would break gtest's own names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "WineRunner.h"

namespace {

// An Xvfb server on a display number it picks itself (-displayfd).
class CXvfb {
 public:
  CXvfb() {
    int fds[2];
    if (!Exists(PROBEWELL_XVFB) || pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = PROBEWELL_XVFB;
    std::vector<std::string> args = {program, "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    char number[16] = {};
    size_t got = 0;
    while (pid_ > 0 && got + 1 < sizeof number) {
      const ssize_t n = read(fds[0], number + got, 1);
      if (n <= 0 || number[got] == '\n') break;
      got += static_cast<size_t>(n);
    }
    close(fds[0]);
    if (got > 0) display_ = ":" + std::string(number, got);
  }
  ~CXvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitProgram(pid_);
    }
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

struct TopWindow {
  Window id = 0;
  int width = 0;
  int height = 0;
};

// A viewable top-level window named `title`, if there is one.
std::optional<TopWindow> FindViewable(::Display* display, const char* title) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return std::nullopt;
  std::optional<TopWindow> found;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    XWindowAttributes attributes;
    if (XFetchName(display, children[i], &name) && name) {
      if (std::string(name) == title && XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable) {
        found = TopWindow{children[i], attributes.width, attributes.height};
      }
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

TEST(ProbewellDialog, OpensWithItsListsFilledOnAnXDisplay) {
  if (!Exists(PROBEWELL_WINE_LOADER)) GTEST_SKIP() << "Wine is not installed";
  if (!Exists(PROBEWELL_EXE_64)) GTEST_SKIP() << "the 64-bit cross compiler is missing";
  if (!Exists(PROBEWELL_XVFB)) GTEST_SKIP() << "Xvfb is not installed";
  CXvfb xvfb;
  ASSERT_FALSE(xvfb.Display().empty()) << "Xvfb did not start";
  ::Display* display = XOpenDisplay(xvfb.Display().c_str());
  ASSERT_NE(display, nullptr);

  mkdir(PROBEWELL_TEST_OUTPUT, 0755);
  const std::string log = std::string(PROBEWELL_TEST_OUTPUT) + "/wine-dialog.log";
  const pid_t program = StartProgram({PROBEWELL_WINE_LOADER, PROBEWELL_EXE_64}, log, PROBEWELL_WINE_PREFIX,
                                     xvfb.Display());
  ASSERT_GT(program, 0);

  // The dialog shows itself only once the enumeration has run and its lists are filled.
  std::optional<TopWindow> dialog;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  while (!dialog && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    dialog = FindViewable(display, "Probewell");
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));  // let it paint
  std::set<unsigned long> colours;
  if (dialog) {
    EXPECT_FALSE(FindViewable(display, "Please wait . . .").has_value()) << "the progress window must be gone";
    // 438 x 250 dialog units: wider than high, and far larger than a message box.
    EXPECT_GT(dialog->width, 500);
    EXPECT_GT(dialog->width, dialog->height);
    if (XImage* image = XGetImage(display, dialog->id, 0, 0, static_cast<unsigned>(dialog->width),
                                  static_cast<unsigned>(dialog->height), AllPlanes, ZPixmap)) {
      for (int y = 0; y < dialog->height; y += 2) {
        for (int x = 0; x < dialog->width; x += 2) colours.insert(XGetPixel(image, x, y));
      }
      XDestroyImage(image);
    }
  }
  XCloseDisplay(display);
  kill(program, SIGTERM);
  WaitProgram(program);
  if (Exists(PROBEWELL_WINESERVER)) RunProgram({PROBEWELL_WINESERVER, "-w"}, log);

  ASSERT_TRUE(dialog.has_value()) << "no Probewell window appeared; see " << log;
  // Text, grid, selection and button faces: a painted dialog, not an empty frame.
  EXPECT_GT(colours.size(), 8u);
}

}  // namespace
