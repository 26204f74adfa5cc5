#include "patcher/setting_rewriter.h"

#include <array>
#include <cstring>
#include <memory>
#include <string>

const SettingOverride SettingOverrides[3] = {
    {"SpeedTree_Small", "\"3000.0\""},
    {"SpeedTree_Medium", "\"7000.0\""},
    {"SpeedTree_Large", "\"12500.0\""},
};

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Finds a key by its last byte first, skipping ahead by how far that byte
// lies from the key's end (Boyer-Moore-Horspool): most of a file is passed
// over a key's length at a time.
class KeyFinder {
 public:
  explicit KeyFinder(std::string_view key) : key_(key) {
    skip_.fill(key.size());
    for (std::size_t i = 0; i + 1 < key.size(); ++i) {
      skip_[static_cast<unsigned char>(key[i])] = key.size() - 1 - i;
    }
  }

  // The first occurrence at or after `from`, or kNotFound.
  std::size_t Find(std::string_view text, std::size_t from) const {
    const std::size_t length = key_.size();
    const char last = key_[length - 1];
    for (std::size_t at = from; at + length <= text.size();) {
      const char c = text[at + length - 1];
      if (c == last && text[at] == key_[0] &&
          std::memcmp(text.data() + at, key_.data(), length - 1) == 0) {
        return at;
      }
      at += skip_[static_cast<unsigned char>(c)];
    }
    return kNotFound;
  }

 private:
  std::string_view key_;
  std::array<std::size_t, 256> skip_;
};

// Where the value that starts at `from` ends: before the nearer of CR and LF,
// or at the end of `searchable`. One scan for both, so that a file with only
// one kind of line end is not searched to its end for the other at every key.
std::size_t ValueEnd(std::string_view searchable, std::size_t from) {
  for (std::size_t i = from; i < searchable.size(); ++i) {
    if (searchable[i] == '\r' || searchable[i] == '\n') return i;
  }
  return searchable.size();
}

enum class RowResult { kUnchanged, kChanged, kTooLong };

// Writes the result of one override into `out`, a buffer of
// ConfigText::kCapacity bytes, in one pass: copying the unchanged stretches
// once keeps a file dense with settings about as cheap as any other, where
// moving the whole tail behind each rewritten value would not be.
// Nothing useful is in `out` unless the result is kChanged.
RowResult ApplyOverride(const SettingOverride& row, std::string_view content, char* out,
                        std::size_t* out_size) {
  // The game's parser and ours stop at a zero byte; what follows is carried along untouched.
  const std::size_t zero = content.find('\0');
  const std::string_view searchable = content.substr(0, zero);

  std::size_t written = 0;
  const auto put = [&](const char* bytes, std::size_t count) {
    if (count > ConfigText::kCapacity - written) return false;
    std::memcpy(out + written, bytes, count);
    written += count;
    return true;
  };

  const KeyFinder key_finder(row.key);
  std::size_t copied = 0;  // bytes of `content` already accounted for in `out`
  std::size_t search = 0;
  bool changed = false;
  for (;;) {
    const std::size_t key = key_finder.Find(searchable, search);
    if (key == kNotFound) break;
    const std::size_t equals = searchable.find('=', key);
    // No "=" after this key means none after any later one either.
    if (equals == kNotFound) break;
    const std::size_t value_begin = equals + 1;
    const std::size_t value_end = ValueEnd(searchable, value_begin);
    if (!put(content.data() + copied, value_begin - copied) ||
        !put(row.value.data(), row.value.size())) {
      return RowResult::kTooLong;
    }
    changed = true;
    copied = value_end;
    // The next occurrence is searched behind the new value; no replacement
    // contains a key, so this is where the old value ended.
    search = value_end;
  }
  if (!changed) return RowResult::kUnchanged;
  if (!put(content.data() + copied, content.size() - copied)) return RowResult::kTooLong;
  *out_size = written;
  return RowResult::kChanged;
}

}  // namespace

bool RewriteSettings(ConfigText& text) {
  // Each row reads the previous row's result; the original stays untouched
  // until every row has fitted, so a refusal leaves the text as it was.
  std::unique_ptr<char[]> buffers[2];
  std::string_view latest = text.bytes;
  int next = 0;
  bool changed = false;
  for (const SettingOverride& row : SettingOverrides) {
    if (!buffers[next]) buffers[next].reset(new char[ConfigText::kCapacity]);
    std::size_t size = 0;
    switch (ApplyOverride(row, latest, buffers[next].get(), &size)) {
      case RowResult::kTooLong:
        return false;
      case RowResult::kUnchanged:
        break;
      case RowResult::kChanged:
        latest = std::string_view(buffers[next].get(), size);
        next ^= 1;
        changed = true;
        break;
    }
  }
  if (changed) text.bytes.assign(latest.data(), latest.size());
  return true;
}
