#ifndef EVENBOUGH_PATCHER_SAFE_STORE_H_
#define EVENBOUGH_PATCHER_SAFE_STORE_H_

#include <string>

class Platform;

// Writing the configuration back so that the player never ends up with half
// a file.
//
// The player has one copy of ConfigDefault.xml, so it is never emptied and
// then refilled. StoreFile writes the whole new content to a temporary file
// in the same directory (hence on the same file system), flushes it to disk,
// closes it, and only then asks the platform to put it in the configuration's
// place in one atomic step. The platform keeps the file's permissions and
// owner, and a configuration reached through a link stays a link whose target
// is replaced. A crash, a full disk or any failure before that step leaves the
// old file exactly as it was.
//
// Cleaning up is StoreFile's job alone: whenever it fails after creating the
// temporary file, it removes that file before returning. Callers never see
// or clean up temporary files.
//
// Where no temporary file can be created beside the configuration (a
// directory the user may not write, an owner that cannot be given to a new
// file), StoreFile falls back to writing over the file in place. That is not
// atomic, so the caller hands in the bytes the file held before; if the
// in-place write fails, StoreFile writes those back.
//
// Returns true when the file now holds `content`. On false it holds what it
// held before, as far as the system lets that be restored.
bool StoreFile(Platform& platform, const std::string& path, const std::string& content,
               const std::string& previous_content);

#endif  // EVENBOUGH_PATCHER_SAFE_STORE_H_
