#ifndef EVENBOUGH_PLATFORM_WINE_REGISTRY_H_
#define EVENBOUGH_PLATFORM_WINE_REGISTRY_H_

#include <string>
#include <string_view>

// Reads a string value out of a Wine registry file (user.reg holds
// HKEY_CURRENT_USER of a Wine prefix): the first section whose key equals
// `key` and the first value in it named `value_name`, both compared without
// regard to ASCII case, as the registry does.
//
// Understood are plain string values ("..."), and the "str(N):" forms that
// Wine writes for expandable and multi-strings; of the latter only the text up
// to the first zero is returned, so a multi-string gives its first string and
// environment references stay unexpanded. Escapes are decoded and UTF-16 code
// units written as \x escapes come back as UTF-8. Anything else (a missing
// key or value, a number, binary data, a malformed line) gives "".
std::string FindWineRegistryString(std::string_view file, std::string_view key,
                                   std::string_view value_name);

#endif  // EVENBOUGH_PLATFORM_WINE_REGISTRY_H_
