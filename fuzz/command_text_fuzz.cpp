// CommandTextFrom on any command line: the result is what follows the
// program's name and its separators, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "patcher/command_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string text = CommandTextFrom(line);
  if (text.size() > line.size() || line.substr(line.size() - text.size()) != text) std::abort();
  const auto separator = [](char c) { return c >= 1 && c <= 32; };
  if (!text.empty() && separator(text[0])) std::abort();

  // What was cut off is the name, which ends at its first separator outside
  // quotes, followed by separators only. A line without such a separator is
  // all name.
  const std::string_view cut = line.substr(0, line.size() - text.size());
  std::size_t name_end = 0;
  for (bool quoted = false; name_end < cut.size(); ++name_end) {
    if (cut[name_end] == '"') quoted = !quoted;
    if (!quoted && separator(cut[name_end])) break;
  }
  if (name_end == cut.size() && !text.empty()) std::abort();
  for (std::size_t i = name_end; i < cut.size(); ++i) {
    if (!separator(cut[i])) std::abort();
  }
  return 0;
}
