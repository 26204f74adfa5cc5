// Start-up of the Windows program: a GUI-subsystem executable, so no console
// window opens. The game directory is cut from the process's own command line
// rather than taken from the C runtime's argument list, which splits at bytes
// above 127 and removes quotes.
#include <windows.h>

#include <cstdlib>

#include "patcher/command_text.h"
#include "patcher/patch_run.h"
#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunPatch(CommandTextFrom(GetCommandLineA()), SystemPlatform());
}

// The program throws nothing and catches nothing; should the runtime ever
// give up, there is no console to print a demangled reason to. Ending at
// once keeps GCC's demangler, some 40 KB of the executable, out of the build.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
