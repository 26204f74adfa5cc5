#ifndef EVENBOUGH_PLATFORM_PLATFORM_H_
#define EVENBOUGH_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Everything the patcher asks of the operating system, in one place.
//
// The run itself (patcher/, locator/) is portable and talks only to this
// interface. Each operating system implements it once (platform_posix.cpp,
// platform_windows.cpp), and tests wrap a real one in FaultyPlatform to fail
// any single call on demand or to watch which calls were made.
//
// Paths are 8-bit texts, passed to the system as they are.

// The caption of every warning the program shows.
constexpr char kWarningCaption[] = "Risen 2 Evenbough";

// The room for a registry value, its terminating zero included. A longer
// value reads as missing, as on Windows, where it would not fit the buffer.
constexpr std::size_t kRegistryValueCapacity = 200000;

// An open file. Only the platform that opened it looks inside.
struct FileHandle {
  std::intptr_t id = -1;
  bool IsOpen() const { return id != -1; }
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Tells the player about a failure: kWarningCaption, the message, a single
  // OK button. Returns once the player has closed it.
  virtual void ShowWarning(const std::string& message) = 0;

  // The string value `value_name` of key `subkey` under HKEY_CURRENT_USER,
  // up to its first zero byte; empty when the key or the value is missing,
  // cannot be read or does not fit kRegistryValueCapacity. The key is opened for querying only and
  // closed again.
  virtual std::string ReadUserRegistryString(const std::string& subkey,
                                             const std::string& value_name) = 0;

  // Opens an existing regular file for reading and writing, positioned at its
  // start, without creating or truncating it. Fails for a missing file, one
  // the user may not write, and anything that is not a regular file (a link
  // to a regular file counts as one). Other processes may go on reading and
  // writing it.
  virtual FileHandle OpenForUpdate(const std::string& path) = 0;

  // The file's size in bytes; false when it cannot be told.
  virtual bool SizeOf(FileHandle file, std::uint64_t* size) = 0;

  // Reads up to `size` bytes at the current position; fewer only at the end
  // of the file or on an error.
  virtual std::size_t Read(FileHandle file, char* buffer, std::size_t size) = 0;

  // Writes all `size` bytes at the current position, or fails.
  virtual bool Write(FileHandle file, const char* data, std::size_t size) = 0;

  // Cuts the file to `length` bytes.
  virtual bool Truncate(FileHandle file, std::uint64_t length) = 0;

  // Makes everything written so far durable on disk.
  virtual bool Flush(FileHandle file) = 0;

  // Closes the file; false when buffered data could not be written out.
  virtual bool Close(FileHandle file) = 0;

  // Creates a new, empty file for writing in the directory of the file that
  // `path` names (following links), on the same file system, carrying that
  // file's permissions and owner. Fails when that is not possible, e.g. in a
  // directory the user may not write. Sets *temp_path to the new file's path.
  virtual FileHandle CreateTempBeside(const std::string& path, std::string* temp_path) = 0;

  // Puts the closed file `temp_path` in the place of the file that `path`
  // names (following links, so a link stays a link), in one atomic step.
  virtual bool Replace(const std::string& path, const std::string& temp_path) = 0;

  // Deletes a file.
  virtual bool Remove(const std::string& path) = 0;
};

// The operating system this program was built for.
Platform& SystemPlatform();

#endif  // EVENBOUGH_PLATFORM_PLATFORM_H_
