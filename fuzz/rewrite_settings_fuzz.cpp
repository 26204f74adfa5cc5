// Checks RewriteSettings against a second, deliberately plain rewriter that
// follows the rules word for word: search the key from the start, take the
// first "=" after it, end the value at the nearer of CR and LF, move the
// whole tail for every occurrence, search on from two bytes after the "=".
// Where the rules leave the outcome open (a key with no "=" after it, a value
// with no line end, a result beyond the capacity) the plain rewriter gives
// up, and only the fast one's own promises are checked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "patcher/setting_rewriter.h"

namespace {

// The searchable text ends at the first zero byte or at the content's end.
std::size_t SearchableEnd(const std::string& text) {
  const std::size_t zero = text.find('\0');
  return zero == std::string::npos ? text.size() : zero;
}

std::size_t FindIn(const std::string& text, const std::string_view needle, std::size_t from) {
  const std::size_t end = SearchableEnd(text);
  if (from > end) return std::string::npos;
  const std::size_t at = std::string_view(text).substr(0, end).find(needle, from);
  return at;
}

std::optional<std::string> PlainRewrite(std::string text) {
  for (const SettingOverride& row : SettingOverrides) {
    std::size_t at = FindIn(text, row.key, 0);
    while (at != std::string::npos) {
      const std::size_t equals = FindIn(text, "=", at);
      if (equals == std::string::npos) return std::nullopt;
      const std::size_t value = equals + 1;
      const std::size_t cr = FindIn(text, "\r", value);
      const std::size_t lf = FindIn(text, "\n", value);
      if (cr == std::string::npos && lf == std::string::npos) return std::nullopt;
      const std::size_t end = cr < lf ? cr : lf;
      // Move the tail, then copy the new value in front of it.
      const std::string tail = text.substr(end);
      text.resize(value);
      text += row.value;
      text += tail;
      if (text.size() > ConfigText::kCapacity) return std::nullopt;
      at = FindIn(text, row.key, value + 1);
    }
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > ConfigText::kMaxFileSize) return 0;
  const std::string original(reinterpret_cast<const char*>(data), size);
  ConfigText text{original};
  const bool fits = RewriteSettings(text);
  if (!fits && text.bytes != original) std::abort();  // a refusal changes nothing
  if (text.bytes.size() > ConfigText::kCapacity) std::abort();

  const std::optional<std::string> expected = PlainRewrite(original);
  if (expected && (!fits || text.bytes != *expected)) std::abort();
  return 0;
}
