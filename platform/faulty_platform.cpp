#include "platform/faulty_platform.h"

bool FaultyPlatform::Fails(Call call) {
  const int n = ++counts_[call];
  const auto it = fail_at_.find(call);
  return it != fail_at_.end() && it->second == n;
}

void FaultyPlatform::ShowWarning(const std::string& message) { warnings_.push_back(message); }

std::string FaultyPlatform::ReadUserRegistryString(const std::string& subkey,
                                                   const std::string& value_name) {
  if (Fails(Call::kRegistry)) return "";
  return real_.ReadUserRegistryString(subkey, value_name);
}

FileHandle FaultyPlatform::OpenForUpdate(const std::string& path) {
  if (Fails(Call::kOpenForUpdate)) return FileHandle{};
  return real_.OpenForUpdate(path);
}

bool FaultyPlatform::SizeOf(FileHandle file, std::uint64_t* size) {
  if (Fails(Call::kSizeOf)) return false;
  return real_.SizeOf(file, size);
}

std::size_t FaultyPlatform::Read(FileHandle file, char* buffer, std::size_t size) {
  if (Fails(Call::kRead)) return real_.Read(file, buffer, size / 2);
  return real_.Read(file, buffer, size);
}

bool FaultyPlatform::Write(FileHandle file, const char* data, std::size_t size) {
  if (Fails(Call::kWrite)) {
    real_.Write(file, data, size / 2);
    return false;
  }
  return real_.Write(file, data, size);
}

bool FaultyPlatform::Truncate(FileHandle file, std::uint64_t length) {
  if (Fails(Call::kTruncate)) return false;
  return real_.Truncate(file, length);
}

bool FaultyPlatform::Flush(FileHandle file) {
  if (Fails(Call::kFlush)) return false;
  return real_.Flush(file);
}

bool FaultyPlatform::Close(FileHandle file) {
  const bool fails = Fails(Call::kClose);
  const bool closed = real_.Close(file);
  return closed && !fails;
}

FileHandle FaultyPlatform::CreateTempBeside(const std::string& path, std::string* temp_path) {
  if (Fails(Call::kCreateTempBeside)) return FileHandle{};
  return real_.CreateTempBeside(path, temp_path);
}

bool FaultyPlatform::Replace(const std::string& path, const std::string& temp_path) {
  if (Fails(Call::kReplace)) return false;
  return real_.Replace(path, temp_path);
}

bool FaultyPlatform::Remove(const std::string& path) {
  if (Fails(Call::kRemove)) return false;
  return real_.Remove(path);
}
