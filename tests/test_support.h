#ifndef EVENBOUGH_TESTS_TEST_SUPPORT_H_
#define EVENBOUGH_TESTS_TEST_SUPPORT_H_

#include <string>
#include <vector>

// A fresh directory under $TMPDIR (or /tmp), removed with all it holds.
// World-accessible, so that a test can run the program as an unprivileged user inside it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + relative
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

// Writes `content` to `path`, creating the directories on the way.
void WriteFile(const std::string& path, const std::string& content);
// The whole file; "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
// The names in a directory, sorted, without "." and "..".
std::vector<std::string> ListDirectory(const std::string& path);

// A Wine user.reg that records `steam_path` as HKCU\Software\Valve\Steam\SteamPath.
std::string UserRegWithSteamPath(const std::string& steam_path);

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_value_ = false;
  std::string old_value_;
};

#endif  // EVENBOUGH_TESTS_TEST_SUPPORT_H_
