#include "patcher/command_text.h"

namespace {

bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 1 && byte <= 32;
}

}  // namespace

std::string CommandTextFrom(std::string_view command_line) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < command_line.size(); ++i) {
    const char c = command_line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsSeparator(c)) {
      break;
    }
  }
  while (i < command_line.size() && IsSeparator(command_line[i])) ++i;
  return std::string(command_line.substr(i));
}
