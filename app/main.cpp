#include <cstdio>

int main() {
  std::fputs("usage: brenmoor convert TABLE [-o OUTPUT] | brenmoor inspect FILE\n", stderr);
  return 2;
}
