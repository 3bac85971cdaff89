// Test helper of the Windows build, run under Wine: sets the installation's
// registry value, then starts the program with an exact command line (Wine's
// own launcher would re-quote it) and exits with the program's exit code.
//
//   launcher.exe CASE_DIR
//
// CASE_DIR (a Windows path) holds "program" (the program's path),
// "command_line" (its bytes, as CreateProcessA gets them; several command
// lines, separated by zero bytes, start that many runs at once, and their
// exit codes go to "exit_codes", one a line) and, optionally,
// "registry" (the value: a first line with the type number, then the data;
// a REG_SZ gets its terminator added). Without "registry" the key is deleted.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr char kKeyPath[] = "Software\\Oskmere\\Talvenor\\4.0";
constexpr int kLauncherFailed = 200;

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  *bytes = content.str();
  return true;
}

bool SetRegistry(const std::string& case_dir) {
  std::string spec;
  if (!ReadFileBytes(case_dir + "\\registry", &spec)) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKeyPath);
    return true;
  }
  const size_t line_end = spec.find('\n');
  if (line_end == std::string::npos) return false;
  const DWORD type = std::stoul(spec.substr(0, line_end));
  std::string data = spec.substr(line_end + 1);
  if (type == REG_SZ) data += '\0';
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool set =
      RegSetValueExA(key, "baseDir", 0, type, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

HANDLE Start(const std::string& program, std::string command_line) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return nullptr;
  }
  CloseHandle(process.hThread);
  return process.hProcess;
}

DWORD ExitCodeOf(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD exit_code = kLauncherFailed;
  GetExitCodeProcess(process, &exit_code);
  CloseHandle(process);
  return exit_code;
}

std::vector<std::string> SplitAtZeros(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t zero; (zero = text.find('\0', start)) != std::string::npos;
       start = zero + 1) {
    parts.push_back(text.substr(start, zero - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return kLauncherFailed;
  const std::string case_dir = argv[1];
  std::string program;
  std::string command_lines;
  if (!ReadFileBytes(case_dir + "\\program", &program) ||
      !ReadFileBytes(case_dir + "\\command_line", &command_lines) ||
      !SetRegistry(case_dir)) {
    return kLauncherFailed;
  }
  const std::vector<std::string> runs = SplitAtZeros(command_lines);
  std::vector<HANDLE> processes;
  for (const std::string& command_line : runs) {
    const HANDLE process = Start(program, command_line);
    if (!process) return kLauncherFailed;
    processes.push_back(process);
  }
  if (runs.size() == 1) return static_cast<int>(ExitCodeOf(processes[0]));
  std::ofstream exit_codes(case_dir + "\\exit_codes");
  for (HANDLE process : processes) exit_codes << ExitCodeOf(process) << "\n";
  return exit_codes.good() ? 0 : kLauncherFailed;
}
