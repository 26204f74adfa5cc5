// The Wine registry reader on any file: never reads out of bounds, and what
// it returns is a registry string, so it holds no zero byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/wine_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::string value = FindWineRegistryString(file, "Software\\Valve\\Steam", "SteamPath");
  if (value.find('\0') != std::string::npos) std::abort();
  // Every output byte comes from at most one input byte or one escape.
  if (value.size() > 4 * size) std::abort();
  return 0;
}
