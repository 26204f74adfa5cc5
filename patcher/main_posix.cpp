// Start-up of the native build. A POSIX program receives its arguments as a
// list, so the game directory is put back together as one text by joining
// them with single blanks: `evenbough "/games/Risen 2"` and
// `evenbough /games/Risen 2` both mean the directory "/games/Risen 2".
#include <string>

#include "patcher/patch_run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  std::string command_text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_text += ' ';
    command_text += argv[i];
  }
  return RunPatch(command_text, SystemPlatform());
}
