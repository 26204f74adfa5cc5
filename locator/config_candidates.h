#ifndef EVENBOUGH_LOCATOR_CONFIG_CANDIDATES_H_
#define EVENBOUGH_LOCATOR_CONFIG_CANDIDATES_H_

#include <string>
#include <string_view>

class Platform;

// Where ConfigDefault.xml may lie. Attempt 0 is the directory from the command
// line; attempt 1, tried only when attempt 0 cannot be opened, is the game in
// the Steam library that the registry records.
constexpr int kConfigAttempts = 2;

// `base`, a "/" unless it already ends in "/" or a backslash, then `tail`.
// The base is used verbatim: no trimming, no quote removal, no check that it
// exists. An empty base gives "/" followed by the tail.
std::string BuildConfigPath(std::string_view base, std::string_view tail);

// The Steam installation directory from HKEY_CURRENT_USER\Software\Valve\Steam,
// value "SteamPath"; empty when it is not recorded.
std::string ReadSteamPath(Platform& platform);

// The candidate path for `attempt` (0 or 1). Only attempt 1 reads the registry.
std::string ConfigPathForAttempt(int attempt, std::string_view command_text, Platform& platform);

#endif  // EVENBOUGH_LOCATOR_CONFIG_CANDIDATES_H_
