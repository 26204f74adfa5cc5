#include "locator/config_candidates.h"

#include "platform/platform.h"

namespace {

constexpr std::string_view kGameTail = "data/ini/ConfigDefault.xml";
constexpr std::string_view kSteamTail = "SteamApps/common/risen 2/data/ini/ConfigDefault.xml";

}  // namespace

std::string BuildConfigPath(std::string_view base, std::string_view tail) {
  std::string path(base);
  // Only the last byte is looked at, even where it ends a double-byte
  // character: the file system sees the same bytes.
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '/';
  path += tail;
  return path;
}

std::string ReadSteamPath(Platform& platform) {
  return platform.ReadUserRegistryString("Software\\Valve\\Steam", "SteamPath");
}

std::string ConfigPathForAttempt(int attempt, std::string_view command_text, Platform& platform) {
  if (attempt == 0) return BuildConfigPath(command_text, kGameTail);
  return BuildConfigPath(ReadSteamPath(platform), kSteamTail);
}
