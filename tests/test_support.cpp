#include "tests/test_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && *base ? base : "/tmp") + "/evenbough-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  chmod(pattern.c_str(), 0777);
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Undo any permission a test took away, so that everything can be removed.
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) chmod(it->path().c_str(), 0777);
  }
  fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListDirectory(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(path, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string UserRegWithSteamPath(const std::string& steam_path) {
  std::string escaped;
  for (char c : steam_path) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return "WINE REGISTRY Version 2\n"
         ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
         "#arch=win32\n\n"
         "[Software\\\\Valve\\\\Steam] 1765400000\n"
         "#time=1dc6a9e3f0b1c2d\n"
         "\"Language\"=\"english\"\n"
         "\"SteamPath\"=\"" +
         escaped + "\"\n\n";
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) {
    had_value_ = true;
    old_value_ = old;
  }
  setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
  if (had_value_) {
    setenv(name_.c_str(), old_value_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}
