#pragma once

#include <string>
#include <string_view>

namespace brenmoor {

// The SHA-256 digest of bytes (FIPS 180-4), as 64 lowercase hex digits.
// Example: Sha256Hex("abc") is
// "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad".
std::string Sha256Hex(std::string_view bytes);

}  // namespace brenmoor
