// The platform on Windows: MessageBoxA for warnings, the registry through
// advapi32, files through the Win32 file functions with ANSI paths. Opened
// files are shared for reading and writing with other processes, as the game
// and its launcher may hold them open too.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace {

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file.id); }

FileHandle Wrap(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return FileHandle{};
  return FileHandle{reinterpret_cast<std::intptr_t>(handle)};
}

// Largest chunk one ReadFile or WriteFile call takes.
constexpr std::size_t kChunk = 1 << 30;

class WindowsPlatform final : public Platform {
 public:
  void ShowWarning(const std::string& message) override {
    MessageBoxA(nullptr, message.c_str(), kWarningCaption, MB_OK);
  }

  std::string ReadUserRegistryString(const std::string& subkey,
                                     const std::string& value_name) override {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
      return "";
    }
    std::unique_ptr<char[]> buffer(new char[kRegistryValueCapacity]);
    DWORD size = kRegistryValueCapacity;
    const LONG status = RegQueryValueExA(key, value_name.c_str(), nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(buffer.get()), &size);
    RegCloseKey(key);
    // A value too large for the buffer comes back as ERROR_MORE_DATA with
    // nothing usable in it.
    if (status != ERROR_SUCCESS) return "";
    // A string stored without its terminating zero ends where its bytes end.
    const std::size_t length = size < kRegistryValueCapacity ? size : kRegistryValueCapacity;
    std::size_t end = 0;
    while (end < length && buffer[end] != '\0') ++end;
    return std::string(buffer.get(), end);
  }

  FileHandle OpenForUpdate(const std::string& path) override {
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FileHandle{};
    // Devices such as CON or NUL open too; only a file on disk is patched.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      return FileHandle{};
    }
    return Wrap(handle);
  }

  bool SizeOf(FileHandle file, std::uint64_t* size) override {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(Handle(file), &value) || value.QuadPart < 0) return false;
    *size = static_cast<std::uint64_t>(value.QuadPart);
    return true;
  }

  std::size_t Read(FileHandle file, char* buffer, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const std::size_t want = size - done < kChunk ? size - done : kChunk;
      DWORD got = 0;
      if (!ReadFile(Handle(file), buffer + done, static_cast<DWORD>(want), &got, nullptr) ||
          got == 0) {
        break;
      }
      done += got;
    }
    return done;
  }

  bool Write(FileHandle file, const char* data, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const std::size_t want = size - done < kChunk ? size - done : kChunk;
      DWORD put = 0;
      if (!WriteFile(Handle(file), data + done, static_cast<DWORD>(want), &put, nullptr) ||
          put == 0) {
        return false;
      }
      done += put;
    }
    return true;
  }

  bool Truncate(FileHandle file, std::uint64_t length) override {
    LARGE_INTEGER zero{}, position, end;
    end.QuadPart = static_cast<LONGLONG>(length);
    // SetEndOfFile cuts at the file pointer; the caller's position is kept.
    return SetFilePointerEx(Handle(file), zero, &position, FILE_CURRENT) &&
           SetFilePointerEx(Handle(file), end, nullptr, FILE_BEGIN) && SetEndOfFile(Handle(file)) &&
           SetFilePointerEx(Handle(file), position, nullptr, FILE_BEGIN);
  }

  bool Flush(FileHandle file) override { return FlushFileBuffers(Handle(file)) != 0; }

  bool Close(FileHandle file) override { return CloseHandle(Handle(file)) != 0; }

  FileHandle CreateTempBeside(const std::string& path, std::string* temp_path) override {
    // A name of our own beside the file, so that the replacement never
    // crosses volumes. ReplaceFileA gives it the old file's attributes and
    // security afterwards.
    const std::string base = path + ".evenbough-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = base + std::to_string(attempt) + ".tmp";
      const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        *temp_path = candidate;
        return Wrap(handle);
      }
      if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return FileHandle{};
  }

  bool Replace(const std::string& path, const std::string& temp_path) override {
    if (ReplaceFileA(path.c_str(), temp_path.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return true;
    }
    // Where ReplaceFileA is refused (some file systems and network shares do),
    // or has removed the old file but could not rename the new one, a plain
    // replacing move still puts the complete new file in place.
    return MoveFileExA(temp_path.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
};

}  // namespace

Platform& SystemPlatform() {
  static WindowsPlatform platform;
  return platform;
}
