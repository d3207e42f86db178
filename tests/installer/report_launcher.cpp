// Test launcher: runs a program in this same console, waits for it, then
// writes "exit=<status> attribute=<text attribute>" to a report file. The
// attribute is read from the console after the program has ended, which is
// the only reliable way to see the colour a program leaves behind (the pty
// side resets colours when the last process detaches).
//
// Usage: report_launcher.exe <report file> <program> [stdin file]
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: report_launcher <report> <program> [stdin file]\n");
    return 100;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE input = INVALID_HANDLE_VALUE;
  if (argc == 4) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    input =
        CreateFileW(argv[3], GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
      std::fprintf(stderr, "report_launcher: cannot open the stdin file\n");
      return 101;
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  std::wstring command_line = L"\"" + std::wstring(argv[2]) + L"\"";
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(argv[2], command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "report_launcher: cannot start the program (%lu)\n", GetLastError());
    return 102;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (input != INVALID_HANDLE_VALUE) CloseHandle(input);

  CONSOLE_SCREEN_BUFFER_INFO info{};
  const bool have_info = GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) != 0;
  FILE* report = _wfopen(argv[1], L"w");
  if (report == nullptr) return 103;
  std::fprintf(report, "exit=%lu attribute=%d\n", status, have_info ? info.wAttributes : -1);
  std::fclose(report);
  return static_cast<int>(status);
}
