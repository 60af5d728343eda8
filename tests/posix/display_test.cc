// Whether the window has a display to show on: the X server or the Wayland
// compositor that the environment names must answer. Played here by sockets
// this test listens on, and ports and names nobody listens on.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/console.h"
#include "tests/temp_dir.h"

namespace brenmoor {
namespace {

// A socket listening on 127.0.0.1 at the port of X display n (6000 + n),
// for the first n from 100 on whose port is free.
struct ListeningDisplay {
  ListeningDisplay() {
    for (number = 100; number < 4000; ++number) {
      fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in address = {};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(fd, 4) == 0) {
        return;
      }
      ::close(fd);
    }
    fd = -1;
  }
  ~ListeningDisplay() { Close(); }
  void Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int number = 0;
  int fd = -1;
};

int ListeningOn(const std::filesystem::path& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(::listen(fd, 4), 0);
  return fd;
}

TEST(WhyNoDisplay, AsksTheDisplayTheEnvironmentNames) {
  testing::TempDir dir;
  ListeningDisplay answering, closed;
  ASSERT_GE(answering.fd, 0);
  ASSERT_GE(closed.fd, 0);
  closed.Close();  // a port nobody listens on now
  const int wayland = ListeningOn(dir / "wayland-test");
  int local = 57;
  while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(local))) ++local;

  const std::string x_on = "127.0.0.1:" + std::to_string(answering.number);
  const std::string x_off = "127.0.0.1:" + std::to_string(closed.number);
  const std::string runtime = dir.path().string();
  const struct {
    std::map<std::string, std::string> set;  // every other variable below is unset
    std::string why;
  } cases[] = {
      {{}, "there is none (DISPLAY and WAYLAND_DISPLAY are not set)"},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, ""},
      {{{"DISPLAY", x_on}}, ""},
      {{{"DISPLAY", "tcp/" + x_on + ".0"}}, ""},  // a protocol and a screen
      {{{"DISPLAY", x_off}}, x_off + " does not answer"},
      {{{"DISPLAY", ":" + std::to_string(local)}},
       ":" + std::to_string(local) + " does not answer"},
      {{{"WAYLAND_DISPLAY", "wayland-test"}, {"XDG_RUNTIME_DIR", runtime}}, ""},
      {{{"WAYLAND_DISPLAY", (dir / "wayland-test").string()}}, ""},
      {{{"WAYLAND_DISPLAY", "wayland-test"}}, "wayland-test does not answer"},  // no folder
      {{{"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime}},
       "wayland-9 does not answer"},
      {{{"DISPLAY", x_off}, {"WAYLAND_DISPLAY", "wayland-test"}, {"XDG_RUNTIME_DIR", runtime}}, ""},
      {{{"DISPLAY", x_off}, {"WAYLAND_DISPLAY", "wayland-9"}, {"XDG_RUNTIME_DIR", runtime}},
       "neither " + x_off + " nor wayland-9 answers"},
      // Qt is told which to use: only that one counts.
      {{{"QT_QPA_PLATFORM", "xcb"},
        {"WAYLAND_DISPLAY", "wayland-test"},
        {"XDG_RUNTIME_DIR", runtime}},
       "there is none (QT_QPA_PLATFORM is xcb and DISPLAY is not set)"},
      {{{"QT_QPA_PLATFORM", "wayland"},
        {"DISPLAY", x_on},
        {"WAYLAND_DISPLAY", "wayland-9"},
        {"XDG_RUNTIME_DIR", runtime}},
       "wayland-9 does not answer"},
      {{{"QT_QPA_PLATFORM", "wayland;xcb"},
        {"DISPLAY", x_on},
        {"WAYLAND_DISPLAY", "wayland-9"},
        {"XDG_RUNTIME_DIR", runtime}},
       ""},
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
  ::close(wayland);
}

}  // namespace
}  // namespace brenmoor
