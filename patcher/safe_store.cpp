#include "patcher/safe_store.h"

#include "platform/platform.h"

namespace {

bool WriteAndClose(Platform& platform, FileHandle file, const std::string& bytes, bool in_place) {
  bool ok = platform.Write(file, bytes.data(), bytes.size());
  if (ok && in_place) ok = platform.Truncate(file, bytes.size());
  ok = ok && platform.Flush(file);
  // Close even after a failure: the handle must not outlive the store.
  return platform.Close(file) && ok;
}

bool OverwriteInPlace(Platform& platform, const std::string& path, const std::string& bytes) {
  // Opened without truncation: whatever the write does not reach keeps its old bytes.
  const FileHandle file = platform.OpenForUpdate(path);
  return file.IsOpen() && WriteAndClose(platform, file, bytes, /*in_place=*/true);
}

}  // namespace

bool StoreFile(Platform& platform, const std::string& path, const std::string& content,
               const std::string& previous_content) {
  std::string temp_path;
  const FileHandle temp = platform.CreateTempBeside(path, &temp_path);
  if (temp.IsOpen()) {
    if (WriteAndClose(platform, temp, content, /*in_place=*/false) &&
        platform.Replace(path, temp_path)) {
      return true;
    }
    platform.Remove(temp_path);
    return false;
  }

  if (OverwriteInPlace(platform, path, content)) return true;
  OverwriteInPlace(platform, path, previous_content);
  return false;
}
