#include "patcher/patch_run.h"

#include <cstdint>

#include "locator/config_candidates.h"
#include "patcher/config_text.h"
#include "patcher/safe_store.h"
#include "patcher/setting_rewriter.h"
#include "platform/platform.h"

const char kCouldNotOpenMessage[] =
    "Warning: Could not open and modify ConfigDefault.xml (you can still do this manually).";
const char kTooLargeMessage[] =
    "Warning: ConfigDefault.xml is too large and will not be modified (you can still do this "
    "manually).";

namespace {

// Opening for update is the test that the file exists and may be both read
// and changed; a read-only file fails it like a missing one.
FileHandle OpenFirstCandidate(const std::string& command_text, Platform& platform,
                              std::string* path) {
  for (int attempt = 0; attempt < kConfigAttempts; ++attempt) {
    *path = ConfigPathForAttempt(attempt, command_text, platform);
    const FileHandle file = platform.OpenForUpdate(*path);
    if (file.IsOpen()) return file;
  }
  return FileHandle{};
}

enum class LoadResult { kLoaded, kTooLarge, kFailed };

LoadResult Load(Platform& platform, FileHandle file, ConfigText* text) {
  std::uint64_t measured = 0;
  if (!platform.SizeOf(file, &measured) || measured > ConfigText::kMaxFileSize) {
    return LoadResult::kTooLarge;
  }
  const auto size = static_cast<std::size_t>(measured);
  // One byte more than measured: a file that changed size since is not the
  // file that was measured, and is left alone.
  text->bytes.resize(size + 1);
  const std::size_t got = platform.Read(file, text->bytes.data(), size + 1);
  if (got != size) return LoadResult::kFailed;
  text->bytes.resize(size);
  return LoadResult::kLoaded;
}

}  // namespace

int RunPatch(const std::string& command_text, Platform& platform) {
  std::string path;
  const FileHandle file = OpenFirstCandidate(command_text, platform, &path);
  if (!file.IsOpen()) {
    platform.ShowWarning(kCouldNotOpenMessage);
    return 0;
  }

  ConfigText text;
  const LoadResult loaded = Load(platform, file, &text);
  platform.Close(file);
  if (loaded != LoadResult::kLoaded) {
    platform.ShowWarning(loaded == LoadResult::kTooLarge ? kTooLargeMessage : kCouldNotOpenMessage);
    return 0;
  }

  const std::string original = text.bytes;
  if (!RewriteSettings(text)) {
    platform.ShowWarning(kTooLargeMessage);
    return 0;
  }
  if (!StoreFile(platform, path, text.bytes, original)) platform.ShowWarning(kCouldNotOpenMessage);
  return 0;
}
