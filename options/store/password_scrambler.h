// The scrambling of stored passwords: RC4 with a fixed 38-byte key, written as
// upper-case hexadecimal. It keeps passwords from being read at a glance in the
// options file; it is not protection against anyone who has the key.
#pragma once
#include <string>

// 2n upper-case hex digits for n bytes of text; an empty text gives "".
std::string ScramblePassword(const std::string& text);

// Reads the hex text two characters at a time (upper-case digits only; the
// first other character ends a pair with the digits read so far), deciphers
// the bytes and returns them up to the first zero byte.
std::string UnscramblePassword(const std::string& hex);

// The longest password whose scrambled form the options file can hand back
// whole: values are read into 1024 bytes, so 1023 hex digits, 511 bytes.
constexpr size_t kMaxStoredPasswordBytes = 511;
