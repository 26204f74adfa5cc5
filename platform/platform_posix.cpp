// The platform on Linux and other POSIX systems, where the native build runs
// the same patcher as the Windows program:
//  - a warning goes to standard error as "Risen 2 Evenbough: <message>" and,
//    when standard input is a terminal, waits for Enter (the single OK button);
//  - HKEY_CURRENT_USER is the current user's Wine registry file,
//    $WINEPREFIX/user.reg (~/.wine/user.reg without WINEPREFIX), which is
//    where Windows programs on Linux keep it. It is only read, never written;
//  - files are plain POSIX file descriptors; the replacement is rename(2).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "platform/wine_registry.h"

namespace {

int Fd(FileHandle file) { return static_cast<int>(file.id); }

// The file a path names once every link is followed, so that a replacement
// lands on the target and the link itself stays.
std::string FinalPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return path;
  std::string final_path(resolved);
  std::free(resolved);
  return final_path;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A rename is durable only once the directory that holds it is.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

std::string WineUserRegistryPath() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return std::string(prefix) + "/user.reg";
  const char* home = std::getenv("HOME");
  if (home == nullptr) return "";
  return std::string(home) + "/.wine/user.reg";
}

class PosixPlatform final : public Platform {
 public:
  void ShowWarning(const std::string& message) override {
    std::fprintf(stderr, "%s: %s\n", kWarningCaption, message.c_str());
    if (!isatty(STDIN_FILENO)) return;
    std::fputs("Press Enter to close this warning.", stderr);
    std::fflush(stderr);
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) {
    }
  }

  std::string ReadUserRegistryString(const std::string& subkey,
                                     const std::string& value_name) override {
    const std::string registry_path = WineUserRegistryPath();
    if (registry_path.empty()) return "";
    std::ifstream in(registry_path, std::ios::binary);
    if (!in) return "";
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string value = FindWineRegistryString(file, subkey, value_name);
    if (value.size() >= kRegistryValueCapacity) return "";
    return value;
  }

  FileHandle OpenForUpdate(const std::string& path) override {
    // O_NONBLOCK so that a FIFO in the file's place cannot hang the run
    // before the check below turns it away.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return FileHandle{};
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
      close(fd);
      return FileHandle{};
    }
    return FileHandle{fd};
  }

  bool SizeOf(FileHandle file, std::uint64_t* size) override {
    struct stat st;
    if (fstat(Fd(file), &st) != 0 || st.st_size < 0) return false;
    *size = static_cast<std::uint64_t>(st.st_size);
    return true;
  }

  std::size_t Read(FileHandle file, char* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = read(Fd(file), buffer + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = write(Fd(file), data + done, size - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool Truncate(FileHandle file, std::uint64_t length) override {
    return ftruncate(Fd(file), static_cast<off_t>(length)) == 0;
  }

  bool Flush(FileHandle file) override { return fsync(Fd(file)) == 0; }

  bool Close(FileHandle file) override { return close(Fd(file)) == 0; }

  FileHandle CreateTempBeside(const std::string& path, std::string* temp_path) override {
    const std::string target = FinalPath(path);
    struct stat st;
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return FileHandle{};
    const std::size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string pattern = DirectoryOf(target) + "/." + name + ".evenbough-XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return FileHandle{};
    // The owner first: a change of owner may clear set-id bits that the mode
    // then puts back. A file that cannot keep its owner is not used, since the
    // program runs as administrator and would take the file from the player.
    const bool same_owner = st.st_uid == geteuid() && st.st_gid == getegid();
    if ((!same_owner && fchown(fd, st.st_uid, st.st_gid) != 0) ||
        fchmod(fd, st.st_mode & 07777) != 0) {
      close(fd);
      unlink(pattern.c_str());
      return FileHandle{};
    }
    *temp_path = pattern;
    return FileHandle{fd};
  }

  bool Replace(const std::string& path, const std::string& temp_path) override {
    const std::string target = FinalPath(path);
    if (rename(temp_path.c_str(), target.c_str()) != 0) return false;
    SyncDirectory(DirectoryOf(target));
    return true;
  }

  bool Remove(const std::string& path) override { return unlink(path.c_str()) == 0; }
};

}  // namespace

Platform& SystemPlatform() {
  static PosixPlatform platform;
  return platform;
}
