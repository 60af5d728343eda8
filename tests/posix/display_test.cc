// Whether the window has a display to show on: the X server or the Wayland
// compositor that the environment names must answer. Played here by sockets
// this test listens on, and a port and a name nobody listens on.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "platform/console.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

// Listens on 127.0.0.1 at the port of the first X display from 100 on
// (6000 + n) whose port is free; returns n, and the socket in fd.
int ListenAsXDisplay(int& fd) {
  for (int number = 100; number < 4000; ++number) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(fd, 4) == 0) {
      return number;
    }
    ::close(fd);
  }
  return -1;
}

TEST(WhyNoDisplay, AsksTheDisplayTheEnvironmentNames) {
  testing::TempDir dir;
  int x_fd = -1, closed_fd = -1;
  const std::string x_on = "127.0.0.1:" + std::to_string(ListenAsXDisplay(x_fd));
  const std::string x_off = "127.0.0.1:" + std::to_string(ListenAsXDisplay(closed_fd));
  ::close(closed_fd);  // a port nobody listens on now
  const int wayland_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un wayland = {};
  wayland.sun_family = AF_UNIX;
  std::strncpy(wayland.sun_path, (dir / "wayland-7").c_str(), sizeof wayland.sun_path - 1);
  ASSERT_EQ(::bind(wayland_fd, reinterpret_cast<sockaddr*>(&wayland), sizeof wayland), 0);
  ASSERT_EQ(::listen(wayland_fd, 4), 0);

  const std::string runtime = dir.path().string();
  const struct {
    std::map<std::string, std::string> set;  // the other variables below are unset
    std::string why;
  } cases[] = {
      {{}, "there is none (DISPLAY and WAYLAND_DISPLAY are not set)"},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, ""},
      {{{"DISPLAY", x_on}}, ""},
      {{{"DISPLAY", "tcp/" + x_on + ".0"}}, ""},  // a protocol and a screen
      {{{"DISPLAY", x_off}}, x_off + " does not answer"},
      {{{"WAYLAND_DISPLAY", "wayland-7"}, {"XDG_RUNTIME_DIR", runtime}}, ""},
      {{{"DISPLAY", x_off}, {"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime}},
       "neither " + x_off + " nor wayland-9 answers"},
      // Qt is told which to use: only that one counts.
      {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-7"}, {"XDG_RUNTIME_DIR", runtime}},
       "there is none (QT_QPA_PLATFORM is xcb and DISPLAY is not set)"},
      {{{"QT_QPA_PLATFORM", "wayland"},
        {"DISPLAY", x_on},
        {"WAYLAND_DISPLAY", "wayland-9"},
        {"XDG_RUNTIME_DIR", runtime}},
       "wayland-9 does not answer"},
  };
  const char* const kVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                    "XDG_RUNTIME_DIR"};
  std::map<std::string, std::string> saved;
  for (const char* name : kVariables) {
    if (const char* value = std::getenv(name)) saved[name] = value;
  }
  for (const auto& c : cases) {
    std::string trace;
    for (const auto& [name, value] : c.set) trace += name + "=" + value + " ";
    SCOPED_TRACE(trace);
    for (const char* name : kVariables) ::unsetenv(name);
    for (const auto& [name, value] : c.set) ::setenv(name.c_str(), value.c_str(), 1);
    EXPECT_EQ(WhyNoDisplay(), c.why);
  }
  for (const char* name : kVariables) ::unsetenv(name);
  for (const auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
  ::close(x_fd);
  ::close(wayland_fd);
}

}  // namespace
}  // namespace brenmoor
