#ifndef EVENBOUGH_PATCHER_COMMAND_TEXT_H_
#define EVENBOUGH_PATCHER_COMMAND_TEXT_H_

#include <string>
#include <string_view>

// The game directory as the installer passes it: the whole command line less
// the program's own name and the separators after it, otherwise verbatim
// (quotes, backslashes, inner and trailing blanks all stay).
//
// The name ends at the first byte from 1 to 32 outside double quotes; each
// double quote in it switches quoting on or off. Bytes above 127 are ordinary
// name bytes, unlike in the C runtime's own argument splitting.
std::string CommandTextFrom(std::string_view command_line);

#endif  // EVENBOUGH_PATCHER_COMMAND_TEXT_H_
