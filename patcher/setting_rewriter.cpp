#include "patcher/setting_rewriter.h"

#include <cstring>
#include <string>

const SettingOverride SettingOverrides[3] = {
    {"SpeedTree_Small", "\"3000.0\""},
    {"SpeedTree_Medium", "\"7000.0\""},
    {"SpeedTree_Large", "\"12500.0\""},
};

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;

// Where the value that starts at `from` ends: before the nearer of CR and LF,
// or at the end of `searchable`. One scan for both, so that a file with only
// one kind of line end is not searched to its end for the other at every key.
std::size_t ValueEnd(std::string_view searchable, std::size_t from) {
  for (std::size_t i = from; i < searchable.size(); ++i) {
    if (searchable[i] == '\r' || searchable[i] == '\n') return i;
  }
  return searchable.size();
}

// Applies one override to `in`. Returns false when the key never takes a new
// value (nothing is written to `out` then). Otherwise `out` holds the result,
// built in one pass: copying the unchanged stretches once keeps a file dense
// with settings as cheap as any other, where moving the whole tail behind
// each rewritten value would not be.
bool ApplyOverride(const SettingOverride& row, const std::string& in, std::string& out) {
  const std::string_view content(in);
  // The game's parser and ours stop at a zero byte; what follows is carried along untouched.
  const std::string_view searchable = content.substr(0, std::strlen(in.c_str()));

  std::size_t copied = 0;  // bytes of `in` already accounted for in `out`
  std::size_t search = 0;
  bool changed = false;
  for (;;) {
    const std::size_t key = searchable.find(row.key, search);
    if (key == kNotFound) break;
    const std::size_t equals = searchable.find('=', key);
    // No "=" after this key means none after any later one either.
    if (equals == kNotFound) break;
    const std::size_t value_begin = equals + 1;
    const std::size_t value_end = ValueEnd(searchable, value_begin);
    if (!changed) {
      out.clear();
      changed = true;
    }
    out.append(content, copied, value_begin - copied);
    out.append(row.value);
    copied = value_end;
    // The next occurrence is searched behind the new value; no replacement
    // contains a key, so this is where the old value ended.
    search = value_end;
  }
  if (changed) out.append(content, copied, kNotFound);
  return changed;
}

}  // namespace

bool RewriteSettings(ConfigText& text) {
  // Each row reads the previous row's result; the original stays untouched
  // until every row has fitted, so a refusal leaves the text as it was.
  std::string buffers[2];
  int latest = -1;  // which buffer holds the newest result, if any
  for (const SettingOverride& row : SettingOverrides) {
    const std::string& in = latest < 0 ? text.bytes : buffers[latest];
    std::string& out = buffers[latest == 0 ? 1 : 0];
    if (!ApplyOverride(row, in, out)) continue;
    if (out.size() > ConfigText::kCapacity) return false;
    latest = &out == &buffers[0] ? 0 : 1;
  }
  if (latest >= 0) text.bytes = std::move(buffers[latest]);
  return true;
}
