#ifndef EVENBOUGH_PATCHER_PATCH_RUN_H_
#define EVENBOUGH_PATCHER_PATCH_RUN_H_

#include <string>

class Platform;

// The two things that can go wrong, as the player is told about them.
extern const char kCouldNotOpenMessage[];
extern const char kTooLargeMessage[];

// The whole program: finds ConfigDefault.xml from the game directory
// `command_text` (or, failing that, in the Steam library), gives the three
// tree distances their new values and stores the file. Silent on success;
// every failure is one warning through `platform` and leaves the file as it
// was. Returns the exit status, which is 0 at every end: installers read it.
int RunPatch(const std::string& command_text, Platform& platform);

#endif  // EVENBOUGH_PATCHER_PATCH_RUN_H_
