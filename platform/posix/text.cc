// The POSIX side of legacy text: glibc's iconv knows GB18030.
#include "platform/text.h"

#include <iconv.h>

#include <cerrno>

namespace brenmoor {

std::optional<std::string> Gb18030ToUtf8(std::string_view bytes) {
  const iconv_t converter = ::iconv_open("UTF-8", "GB18030");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  // A GB18030 character of 1 to 4 bytes never takes more than 4 in UTF-8.
  std::string out(bytes.size() * 2 + 4, '\0');
  std::string in(bytes);
  char* in_at = in.data();
  std::size_t in_left = in.size();
  char* out_at = out.data();
  std::size_t out_left = out.size();
  const std::size_t result = ::iconv(converter, &in_at, &in_left, &out_at, &out_left);
  ::iconv_close(converter);
  if (result == static_cast<std::size_t>(-1) || in_left != 0) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace brenmoor
