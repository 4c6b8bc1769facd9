// time_limit SECONDS PROGRAM [ARGUMENT...]: runs PROGRAM in a job of its own, with this
// program's standard handles, and returns its exit code. A program still running after SECONDS
// is ended, with every process it started, and time_limit returns 258 (WAIT_TIMEOUT) having said
// so on its standard error. Processes that PROGRAM leaves behind are ended when it exits, so
// none outlives its run and holds a file the next one needs. run-tests.cmd starts each test
// program through it.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/handle.h"

namespace {

using Handle = base::UniqueHandle<HANDLE, CloseHandle>;
constexpr DWORD kTimedOut = WAIT_TIMEOUT;

// One argument as CommandLineToArgvW and the C runtime read it back.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L'"';
}

int Fail(const wchar_t* what) {
  std::fwprintf(stderr, L"time_limit: %ls failed (error %lu)\n", what, GetLastError());
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const long seconds = argc >= 3 ? std::wcstol(argv[1], nullptr, 10) : 0;
  if (seconds <= 0) {
    std::fwprintf(stderr, L"usage: time_limit SECONDS PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  std::wstring command = Quoted(argv[2]);
  for (int i = 3; i < argc; ++i) command += L' ' + Quoted(argv[i]);

  const Handle job{CreateJobObjectW(nullptr, nullptr)};
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
    return Fail(L"CreateJobObject");

  // Suspended until it is in the job, so that nothing it starts escapes the job.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &started))
    return Fail(L"CreateProcess");
  const Handle process{started.hProcess}, thread{started.hThread};
  if (!AssignProcessToJobObject(job.get(), process.get())) {
    TerminateProcess(process.get(), 1);
    return Fail(L"AssignProcessToJobObject");
  }
  ResumeThread(thread.get());

  if (WaitForSingleObject(process.get(), static_cast<DWORD>(seconds) * 1000) == WAIT_TIMEOUT) {
    TerminateJobObject(job.get(), kTimedOut);
    WaitForSingleObject(process.get(), INFINITE);
    std::fwprintf(stderr, L"time_limit: %ls ran past its limit of %ld seconds: ended\n", argv[2], seconds);
    return static_cast<int>(kTimedOut);
  }
  DWORD code = 0;
  GetExitCodeProcess(process.get(), &code);
  return static_cast<int>(code);  // the job's handle, closed last, ends what the program left
}
