#ifndef EVENBOUGH_PLATFORM_FAULTY_PLATFORM_H_
#define EVENBOUGH_PLATFORM_FAULTY_PLATFORM_H_

#include <map>
#include <string>
#include <vector>

#include "platform/platform.h"

// A test double that passes every call on to a real platform, except those
// it has been told to fail, and keeps what the program showed and asked for.
// Warnings are recorded instead of shown, so that a test never waits for a
// player.
class FaultyPlatform final : public Platform {
 public:
  enum class Call {
    kRegistry,
    kOpenForUpdate,
    kSizeOf,
    kRead,
    kWrite,
    kTruncate,
    kFlush,
    kClose,
    kCreateTempBeside,
    kReplace,
    kRemove,
  };

  explicit FaultyPlatform(Platform& real) : real_(real) {}

  // Makes the `nth` call (counted from 1) of this kind fail the way the
  // system would: a read comes back short, a write stops half-way after
  // writing half, a close still releases the file.
  void FailOn(Call call, int nth = 1) { fail_at_[call] = nth; }

  int Count(Call call) const {
    const auto it = counts_.find(call);
    return it == counts_.end() ? 0 : it->second;
  }
  const std::vector<std::string>& warnings() const { return warnings_; }

  void ShowWarning(const std::string& message) override;
  std::string ReadUserRegistryString(const std::string& subkey,
                                     const std::string& value_name) override;
  FileHandle OpenForUpdate(const std::string& path) override;
  bool SizeOf(FileHandle file, std::uint64_t* size) override;
  std::size_t Read(FileHandle file, char* buffer, std::size_t size) override;
  bool Write(FileHandle file, const char* data, std::size_t size) override;
  bool Truncate(FileHandle file, std::uint64_t length) override;
  bool Flush(FileHandle file) override;
  bool Close(FileHandle file) override;
  FileHandle CreateTempBeside(const std::string& path, std::string* temp_path) override;
  bool Replace(const std::string& path, const std::string& temp_path) override;
  bool Remove(const std::string& path) override;

 private:
  // Counts the call and tells whether it is the one to fail.
  bool Fails(Call call);

  Platform& real_;
  std::map<Call, int> fail_at_;
  std::map<Call, int> counts_;
  std::vector<std::string> warnings_;
};

#endif  // EVENBOUGH_PLATFORM_FAULTY_PLATFORM_H_
