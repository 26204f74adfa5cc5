#ifndef EVENBOUGH_PATCHER_CONFIG_TEXT_H_
#define EVENBOUGH_PATCHER_CONFIG_TEXT_H_

#include <cstddef>
#include <string>

// The content of ConfigDefault.xml on its way from the load through the rewrite
// to the store: raw 8-bit bytes, no character-set or line-end conversion.
struct ConfigText {
  // The largest file the patcher takes on, and the room the rewrite may grow it
  // into. A rewrite that would need more leaves the text as it was.
  static constexpr std::size_t kMaxFileSize = 160000;
  static constexpr std::size_t kCapacity = 200000;

  std::string bytes;  // never longer than kCapacity
};

#endif  // EVENBOUGH_PATCHER_CONFIG_TEXT_H_
