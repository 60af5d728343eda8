// The POSIX side of the console: arguments and terminals are UTF-8 already.
// Only code for POSIX systems belongs here.
#include "platform/console.h"

#include <netdb.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>

namespace brenmoor {
namespace {

// Standard output, written with write() so that a failure (a full disk, a
// closed pipe, /dev/full) is seen and its reason kept.
class StandardOutputBuffer : public std::streambuf {
 public:
  StandardOutputBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  ~StandardOutputBuffer() override { Flush(); }

  // The reason of the first failed write, empty while none failed.
  const std::string& failure() const { return failure_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Flush() {
    const char* data = pbase();
    std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof buffer_);
    if (!failure_.empty()) return false;
    while (size > 0) {
      const ssize_t written = ::write(STDOUT_FILENO, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        // A write that takes nothing and reports nothing is a short write.
        failure_ = written < 0 ? std::strerror(errno) : "nothing was written";
        return false;
      }
      data += written;
      size -= static_cast<std::size_t>(written);
    }
    return true;
  }

  char buffer_[1 << 16];
  std::string failure_;
};

StandardOutputBuffer& OutBuffer() {
  static StandardOutputBuffer buffer;
  return buffer;
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// How long a display reached over the network may take to answer.
constexpr int kConnectTimeoutMs = 1000;

// Whether a stream connection to address is accepted within the timeout.
bool Connects(int family, const sockaddr* address, socklen_t size) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool connected = ::connect(fd, address, size) == 0;
  // A local server whose queue of new clients is full is there all the same.
  if (!connected && errno == EAGAIN && family == AF_UNIX) connected = true;
  if (!connected && errno == EINPROGRESS) {
    pollfd wait = {fd, POLLOUT, 0};
    int error = 0;
    socklen_t length = sizeof error;
    connected = ::poll(&wait, 1, kConnectTimeoutMs) == 1 &&
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  }
  ::close(fd);
  return connected;
}

// A local socket by its path, or by its name in Linux's abstract namespace.
bool LocalSocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  const std::size_t lead = abstract ? 1 : 0;  // the abstract name starts with a zero byte
  if (lead + path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + lead, path.data(), path.size());
  const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + lead + path.size() +
                                           (abstract ? 0 : 1));
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), size);
}

bool TcpAnswers(const std::string& host, int port) {
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool answers = false;
  for (const addrinfo* at = found; at != nullptr && !answers; at = at->ai_next) {
    answers = Connects(at->ai_family, at->ai_addr, at->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return answers;
}

// Whether the X server that display names answers, found as X clients find
// it: "[protocol/][host]:n[.screen]", the local socket /tmp/.X11-unix/Xn
// (first in the abstract namespace, which servers on Linux also listen on)
// for no host or "unix", TCP port 6000 + n on host otherwise. A form not
// understood here is taken as answering: Qt judges it then.
bool XDisplayAnswers(std::string_view display) {
  const auto colon = display.rfind(':');
  if (display.starts_with('/') || colon == std::string_view::npos ||
      (colon > 0 && display[colon - 1] == ':')) {
    return true;  // a socket path (macOS), DECnet "host::n", or no display number
  }
  std::string_view host = display.substr(0, colon);
  if (const auto slash = host.find('/'); slash != std::string_view::npos) {
    host.remove_prefix(slash + 1);  // "tcp/host", "unix/"
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);  // "[::1]"
  }
  const std::string_view after = display.substr(colon + 1);
  const std::string_view digits = after.substr(0, after.find('.'));
  int number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() || number < 0 ||
      number > 59535) {
    return true;
  }
  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + std::string(digits);
#ifdef __linux__
    if (LocalSocketAnswers(path, true)) return true;
#endif
    return LocalSocketAnswers(path, false);
  }
  return TcpAnswers(std::string(host), 6000 + number);
}

// Whether the Wayland compositor named (a socket in $XDG_RUNTIME_DIR, or an
// absolute path) answers.
bool WaylandAnswers(const std::string& name) {
  if (name.starts_with('/')) return LocalSocketAnswers(name, false);
  const std::string folder = Variable("XDG_RUNTIME_DIR");
  return !folder.empty() && LocalSocketAnswers(folder + "/" + name, false);
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::ostream& ConsoleOut() {
  static std::ostream stream(&OutBuffer());
  return stream;
}

std::ostream& ConsoleErr() { return std::cerr; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void ShowStartupFailure(const std::string& message) { ConsoleErr() << message << "\n"; }

std::string StandardOutputFailure(const std::ostream& out) {
  if (out.rdbuf() == &OutBuffer() && !OutBuffer().failure().empty()) return OutBuffer().failure();
  return "the write failed";
}

std::size_t StandardErrorColumns() {
  struct winsize size = {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

std::string WhyNoDisplay() {
#ifdef __APPLE__
  return "";
#else
  const std::string x = Variable("DISPLAY");
  const std::string wayland = Variable("WAYLAND_DISPLAY");
  const std::string platform = Variable("QT_QPA_PLATFORM");
  bool try_x = true, try_wayland = true;
  if (!platform.empty()) {
    // Qt's own choice, a list such as "wayland;xcb", each with options
    // after a colon ("xcb:nomitshm"): only xcb and wayland need a display.
    try_x = try_wayland = false;
    std::string_view list = platform;
    while (!list.empty()) {
      const std::string_view item = list.substr(0, list.find(';'));
      list.remove_prefix(std::min(list.size(), item.size() + 1));
      const std::string_view name = item.substr(0, item.find(':'));
      if (name == "xcb") {
        try_x = true;
      } else if (name.starts_with("wayland")) {
        try_wayland = true;
      } else if (!name.empty()) {
        return "";
      }
    }
  }
  std::vector<std::string> silent;
  if (try_x && !x.empty()) {
    if (XDisplayAnswers(x)) return "";
    silent.push_back(x);
  }
  if (try_wayland && !wayland.empty()) {
    if (WaylandAnswers(wayland)) return "";
    silent.push_back(wayland);
  }
  if (silent.size() == 1) return silent[0] + " does not answer";
  if (silent.size() == 2) return "neither " + silent[0] + " nor " + silent[1] + " answers";
  std::string unset = try_x && try_wayland ? "DISPLAY and WAYLAND_DISPLAY are"
                      : try_x              ? "DISPLAY is"
                                           : "WAYLAND_DISPLAY is";
  if (!platform.empty()) unset = "QT_QPA_PLATFORM is " + platform + " and " + unset;
  return "there is none (" + unset + " not set)";
#endif
}

}  // namespace brenmoor
