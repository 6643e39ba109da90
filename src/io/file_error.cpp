#include "io/file_error.h"

#include <cstddef>

namespace darvelle {
namespace {

// Length of the well-formed UTF-8 sequence at text[i] (lead byte 0x80 or
// above), or 0 when the bytes there are none: a stray continuation byte, an
// overlong form, a surrogate, beyond U+10FFFF, or cut short.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = at(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if ((at(k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string EscapeControlBytes(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  const auto escape = [&](unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      if ((byte < 0x20 && byte != '\n') || byte == 0x7F) {
        escape(byte);
      } else {
        out += text[i];
      }
      ++i;
      continue;
    }
    const std::size_t length = Utf8Length(text, i);
    // U+0080 .. U+009F (C2 80 .. C2 9F) are the C1 controls; a terminal may
    // take U+009B as the start of an escape sequence, as it takes ESC [.
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 0 || c1) {
      const std::size_t escaped = c1 ? 2 : 1;
      for (std::size_t k = 0; k < escaped; ++k) escape(static_cast<unsigned char>(text[i + k]));
      i += escaped;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

}  // namespace darvelle
