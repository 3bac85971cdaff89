// The one seam between the program and the operating system.
//
// Everything the program asks of the system (registry, files, the error log)
// goes through the System interface, so that a test can stand in front of the
// real implementation and make any call fail. Each build links exactly one
// real implementation: system_posix.cc or system_win32.cc.
#ifndef THEATERLIST_PLATFORM_SYSTEM_H_
#define THEATERLIST_PLATFORM_SYSTEM_H_

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// Buffered reads and writes move at least this many bytes per system call.
constexpr size_t kStreamBufferSize = 64 * 1024;

// An open registry key. Destroying it closes the key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Copies the data of value `name` into `buffer`, which holds `*size` bytes,
  // and sets `*size` to the number of bytes copied. Strings come with their
  // terminating zero. Returns false when the value is missing or does not fit
  // (the buffer is then untouched).
  virtual bool QueryValue(const std::string& name, char* buffer, size_t* size) = 0;
};

// A file opened for reading in text mode: CR LF reads as LF, a lone CR stays,
// and a Ctrl-Z byte ends the text.
class TextInput {
 public:
  virtual ~TextInput() = default;
  // Reads up to `capacity` bytes of text. Returns the number read; 0 at the
  // end of the text or on a failure (then Failed() is true).
  virtual size_t Read(char* buffer, size_t capacity) = 0;
  // True once a read failed, or when bytes stand after a Ctrl-Z that ended
  // the text (rewriting such a file would drop them).
  virtual bool Failed() const = 0;
  // True when the file may not be written (read-only attribute, or no write
  // permission bit for anyone). Also true when that cannot be found out.
  virtual bool IsReadOnly() = 0;
};

// A new file written in text mode: every LF goes to disk as CR LF. The
// file is closed by Close() or, at the latest, when the object goes.
class TextOutput {
 public:
  virtual ~TextOutput() = default;
  // Returns false when the bytes could not all be written.
  virtual bool Write(const char* data, size_t size) = 0;
  // Hands what is buffered to the system. Returns false when that, or any
  // earlier write, failed.
  virtual bool Flush() = 0;
  // Forces the file's data to disk. Returns false on failure.
  virtual bool SyncToDisk() = 0;
  // Returns false when the system reports a failure on closing.
  virtual bool Close() = 0;
};

// Held while it exists; the system drops it when its process ends, however
// it ends.
class DirectoryLock {
 public:
  virtual ~DirectoryLock() = default;
};

class System {
 public:
  virtual ~System() = default;

  // Opens a key under HKEY_LOCAL_MACHINE for reading, in the 32-bit view.
  // Returns null when the key cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenLocalMachineKey(const std::string& path) = 0;

  // Returns null when the file cannot be opened.
  virtual std::unique_ptr<TextInput> OpenTextInput(const std::string& path) = 0;

  // Creates `path` as a new file, exclusively and without following a link
  // at that path, with the permissions (where the system has them) of the
  // file at `model_path`. Returns null when the file exists or cannot be
  // created.
  virtual std::unique_ptr<TextOutput> CreateTextOutput(const std::string& path,
                                                       const std::string& model_path) = 0;

  // Returns false when the file is not there or cannot be deleted.
  virtual bool RemoveFile(const std::string& path) = 0;

  // Puts `from` in the place of `to` in one step: `to` always names either
  // its old or its new content. Returns false when nothing was moved.
  virtual bool ReplaceFileAtomically(const std::string& from, const std::string& to) = 0;

  // Waits up to `timeout_ms` for the exclusive lock of `directory`, which
  // every run that edits files in that directory takes. Returns null when
  // the lock was not had in time or cannot be taken at all.
  virtual std::unique_ptr<DirectoryLock> LockDirectory(const std::string& directory,
                                                       int timeout_ms) = 0;

  // Appends `text` to the file at `path` in text mode, creating it when it is
  // missing but never writing through a link. Returns false on any failure.
  virtual bool AppendText(const std::string& path, const std::string& text) = 0;
};

// The system that the program uses: the real one, unless a test installed
// another with SetSystemForTesting.
System& CurrentSystem();

// Makes `system` the current one (null restores the real system). For tests:
// the one place where a test can put itself between the program and the
// operating system.
void SetSystemForTesting(System* system);

// The real system of this build.
System& RealSystem();

}  // namespace platform

#endif  // THEATERLIST_PLATFORM_SYSTEM_H_
