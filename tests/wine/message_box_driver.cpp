// Starts a Windows program the way an installer does and plays the player:
// reads the exact command line from standard input, starts PROGRAM with it,
// reports every window the program opens (caption, text, buttons), presses
// its OK button, and reports the program's exit status. One line each:
//   box<TAB>caption<TAB>text<TAB>button,button...
//   exit<TAB>status
// Used by the Wine tests; a program that keeps running for a minute is ended
// and reported as "timeout".
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct Box {
  HWND window = nullptr;
  std::string text;
  std::vector<std::string> buttons;
  HWND ok = nullptr;
};

std::string WindowText(HWND window) {
  char buffer[4096];
  const int length = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ClassOf(HWND window) {
  char buffer[256];
  const int length = GetClassNameA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  Box& box = *reinterpret_cast<Box*>(param);
  const std::string type = ClassOf(child);
  const std::string text = WindowText(child);
  if (type == "Button" && IsWindowVisible(child)) {
    box.buttons.push_back(text);
    if (GetDlgCtrlID(child) == IDOK) box.ok = child;
  } else if (type == "Static" && !text.empty()) {
    box.text += text;
  }
  return TRUE;
}

struct Search {
  DWORD process_id;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  Search& search = *reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.process_id && IsWindowVisible(window)) search.windows.push_back(window);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: message_box_driver PROGRAM < command-line\n");
    return 2;
  }
  std::string command_line((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("start-failed\t%lu\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);

  std::set<HWND> answered;
  const DWORD deadline = GetTickCount() + 60000;
  for (;;) {
    Search search{process.dwProcessId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows) {
      if (answered.count(window)) continue;
      Box box;
      box.window = window;
      EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&box));
      if (box.buttons.empty()) continue;  // not drawn completely yet
      std::string buttons;
      for (const std::string& button : box.buttons) {
        buttons += (buttons.empty() ? "" : ",") + button;
      }
      std::printf("box\t%s\t%s\t%s\n", WindowText(window).c_str(), box.text.c_str(),
                  buttons.c_str());
      std::fflush(stdout);
      answered.insert(window);
      if (box.ok != nullptr) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(box.ok));
      }
    }
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) break;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      TerminateProcess(process.hProcess, 259);
      std::printf("timeout\n");
      return 1;
    }
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  std::printf("exit\t%lu\n", status);
  CloseHandle(process.hProcess);
  return 0;
}
