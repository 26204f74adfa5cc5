// BuildConfigPath on any base: the base verbatim, one "/" only where the base
// does not already end in a separator, then the tail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "locator/config_candidates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view base(reinterpret_cast<const char*>(data), size);
  const std::string_view tail = "data/ini/ConfigDefault.xml";
  const std::string path = BuildConfigPath(base, tail);
  const bool ends_in_separator = !base.empty() && (base.back() == '/' || base.back() == '\\');
  const std::size_t separator = ends_in_separator ? 0 : 1;
  if (path.size() != base.size() + separator + tail.size()) std::abort();
  if (path.compare(0, base.size(), base) != 0) std::abort();
  if (separator == 1 && path[base.size()] != '/') std::abort();
  if (path.compare(path.size() - tail.size(), tail.size(), tail) != 0) std::abort();
  return 0;
}
