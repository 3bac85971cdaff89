// A throwaway directory that the program reaches by a drive-letter path, for
// tests that go through the real system of the build.
#ifndef THEATERLIST_TESTS_UNIT_SCRATCH_H_
#define THEATERLIST_TESTS_UNIT_SCRATCH_H_

#include <filesystem>
#include <string>

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // The path by which the program names this directory.
  const std::string& DosDirectory() const { return dos_dir_; }
  // The path by which the program names `name` in this directory.
  std::string DosPath(const std::string& name) const;
  // The path by which the test reaches it.
  std::filesystem::path NativePath(const std::string& name) const { return dir_ / name; }

  // Where the test finds the program's error log.
  std::filesystem::path ErrorLogPath() const;

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;

 private:
  std::filesystem::path root_;  // removed at the end
  std::filesystem::path dir_;   // where the files go
  std::string dos_dir_;
};

#endif  // THEATERLIST_TESTS_UNIT_SCRATCH_H_
