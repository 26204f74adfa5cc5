#include "platform/wine_registry.h"

#include <cstdint>

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::uint32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    *out += char(code_point);
  } else if (code_point < 0x800) {
    *out += char(0xC0 | (code_point >> 6));
    *out += char(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    *out += char(0xE0 | (code_point >> 12));
    *out += char(0x80 | ((code_point >> 6) & 0x3F));
    *out += char(0x80 | (code_point & 0x3F));
  } else {
    *out += char(0xF0 | (code_point >> 18));
    *out += char(0x80 | ((code_point >> 12) & 0x3F));
    *out += char(0x80 | ((code_point >> 6) & 0x3F));
    *out += char(0x80 | (code_point & 0x3F));
  }
}

// Decodes the text that starts at `line[*pos]` up to the unescaped `close`
// byte, leaving *pos behind it. The decoded text stops at its first zero, as
// a registry string does; the rest is still read, to find its end. Returns
// false when `close` never comes.
bool ReadEscaped(std::string_view line, std::size_t* pos, char close, std::string* text) {
  std::string out;
  bool ended = false;                // a zero has ended the string itself
  std::uint32_t high_surrogate = 0;  // waiting for its low half
  const auto flush_surrogate = [&] {
    if (high_surrogate != 0) out += '?';
    high_surrogate = 0;
  };
  const auto emit = [&](std::uint32_t unit) {
    if (ended) return;
    if (unit >= 0xDC00 && unit < 0xE000 && high_surrogate != 0) {
      AppendUtf8(0x10000 + ((high_surrogate - 0xD800) << 10) + (unit - 0xDC00), &out);
      high_surrogate = 0;
      return;
    }
    flush_surrogate();
    if (unit == 0) {
      ended = true;
    } else if (unit >= 0xD800 && unit < 0xDC00) {
      high_surrogate = unit;
    } else if (unit >= 0xDC00 && unit < 0xE000) {
      out += '?';
    } else {
      AppendUtf8(unit, &out);
    }
  };
  // Raw bytes are already 8-bit text and pass through as they are.
  const auto emit_byte = [&](char c) {
    if (ended) return;
    flush_surrogate();
    if (c == '\0') {
      ended = true;
    } else {
      out += c;
    }
  };

  std::size_t i = *pos;
  while (i < line.size()) {
    const char c = line[i++];
    if (c == close) {
      if (!ended) flush_surrogate();
      *pos = i;
      *text = std::move(out);
      return true;
    }
    if (c != '\\' || i == line.size()) {
      emit_byte(c);
      continue;
    }
    const char e = line[i++];
    switch (e) {
      case 'a':
        emit(7);
        break;
      case 'b':
        emit(8);
        break;
      case 't':
        emit(9);
        break;
      case 'n':
        emit(10);
        break;
      case 'v':
        emit(11);
        break;
      case 'f':
        emit(12);
        break;
      case 'r':
        emit(13);
        break;
      case 'e':
        emit(27);
        break;
      case 'x': {
        std::uint32_t unit = 0;
        int digits = 0;
        while (digits < 4 && i < line.size() && HexDigit(line[i]) >= 0) {
          unit = unit * 16 + std::uint32_t(HexDigit(line[i++]));
          ++digits;
        }
        if (digits == 0) {
          emit_byte('x');
        } else {
          emit(unit);
        }
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          std::uint32_t unit = std::uint32_t(e - '0');
          for (int digits = 1; digits < 3 && i < line.size() && line[i] >= '0' && line[i] <= '7';
               ++digits) {
            unit = unit * 8 + std::uint32_t(line[i++] - '0');
          }
          emit(unit);
        } else {
          emit_byte(e);
        }
    }
  }
  return false;
}

// The value of a `"name"=...` line, from the "=" on, if it is a string.
bool ReadStringValue(std::string_view line, std::size_t pos, std::string* value) {
  if (line.substr(pos, 4) == "str(") {
    pos += 4;
    const std::size_t close = line.find("):", pos);
    if (close == std::string_view::npos || close == pos) return false;
    for (std::size_t i = pos; i < close; ++i) {
      if (HexDigit(line[i]) < 0) return false;
    }
    pos = close + 2;
  }
  if (pos >= line.size() || line[pos] != '"') return false;
  ++pos;
  return ReadEscaped(line, &pos, '"', value);
}

}  // namespace

std::string FindWineRegistryString(std::string_view file, std::string_view key,
                                   std::string_view value_name) {
  bool in_key = false;
  std::size_t line_begin = 0;
  while (line_begin < file.size()) {
    std::size_t line_end = file.find('\n', line_begin);
    if (line_end == std::string_view::npos) line_end = file.size();
    std::string_view line = file.substr(line_begin, line_end - line_begin);
    line_begin = line_end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (!line.empty() && line[0] == '[') {
      std::size_t pos = 1;
      std::string section;
      in_key = ReadEscaped(line, &pos, ']', &section) && EqualsIgnoringCase(section, key);
      continue;
    }
    if (!in_key || line.empty() || line[0] != '"') continue;

    std::size_t pos = 1;
    std::string name;
    if (!ReadEscaped(line, &pos, '"', &name) || !EqualsIgnoringCase(name, value_name)) continue;
    if (pos >= line.size() || line[pos] != '=') return "";
    std::string value;
    if (!ReadStringValue(line, pos + 1, &value)) return "";
    return value;
  }
  return "";
}
