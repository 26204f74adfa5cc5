#ifndef EVENBOUGH_PATCHER_SETTING_REWRITER_H_
#define EVENBOUGH_PATCHER_SETTING_REWRITER_H_

#include <string_view>

#include "patcher/config_text.h"

// One fixed setting: every occurrence of `key` gets `value` (quotes included).
struct SettingOverride {
  std::string_view key;
  std::string_view value;
};

// The three tree distances, applied in this order.
extern const SettingOverride SettingOverrides[3];

// Gives every occurrence of every key in SettingOverrides its new value.
//
// This is deliberately not an XML edit. The game's file is treated as plain
// text: after each occurrence of a key (even inside a longer name or a
// comment), the value is everything from the next "=" (which may lie on a
// later line) up to the nearer of the next CR or LF. A zero byte ends the
// searchable text; the bytes behind it are kept and only move along. An
// occurrence with no "=" after it is left alone, and a value with no line
// break after it ends where the searchable text ends.
//
// Returns false, with `text` unchanged, when the result would not fit in
// ConfigText::kCapacity.
bool RewriteSettings(ConfigText& text);

#endif  // EVENBOUGH_PATCHER_SETTING_REWRITER_H_
