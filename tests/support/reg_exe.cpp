#include "tests/support/reg_exe.h"

#include "tests/support/handles.h"

#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testing_support {
namespace {

// "    name    REG_TYPE    data": fields apart by four spaces; data may hold four spaces
// itself, and may be missing. A line of another shape is kept whole as the name, with type "?",
// so that a comparison shows it.
RegValue ParseValueLine(const std::string& line) {
  const std::string rest = line.substr(4);
  const std::size_t nameEnd = rest.find("    ");
  if (nameEnd == std::string::npos) return {rest, "?", ""};
  RegValue value;
  value.name = rest.substr(0, nameEnd);
  const std::size_t typeEnd = rest.find("    ", nameEnd + 4);
  value.type = rest.substr(nameEnd + 4, typeEnd == std::string::npos ? std::string::npos : typeEnd - nameEnd - 4);
  if (typeEnd != std::string::npos) value.data = rest.substr(typeEnd + 4);
  if (!value.name.empty() && value.name.front() == '(' && value.name.back() == ')') value.name.clear();
  return value;
}

}  // namespace

Finished RunProgram(const std::wstring& commandLine, std::chrono::milliseconds timeout) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  const KernelHandle reader(readEnd);
  KernelHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring line = commandLine;
  PROCESS_INFORMATION info{};
  // Under load Wine has been seen to refuse a start now and then that succeeds a moment later:
  // a program is tried three times before the test hears of it.
  bool started = false;
  DWORD error = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                             &info) != FALSE;
    if (started) break;
    error = GetLastError();
    line = commandLine;  // CreateProcessW may write into the line it is given
  }
  if (!started) throw std::runtime_error("a program could not be started (error " + std::to_string(error) + ")");
  CloseHandle(info.hThread);
  const KernelHandle process(info.hProcess);
  writer.reset();  // the child holds the only write end now: the pipe closes when it ends

  Finished finished;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr)) break;  // closed: all read
    if (available > 0) {
      std::string chunk(available, '\0');
      DWORD got = 0;
      if (!ReadFile(readEnd, chunk.data(), available, &got, nullptr)) break;
      finished.output.append(chunk, 0, got);
      continue;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      TerminateProcess(process.get(), 99);
      throw std::runtime_error("a program timed out; its output so far:\n" + finished.output);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  WaitForSingleObject(process.get(), 5000);
  GetExitCodeProcess(process.get(), &finished.exitCode);
  return finished;
}

void PrintTo(const RegValue& value, std::ostream* out) {
  *out << "{" << (value.name.empty() ? "(default)" : value.name) << " " << value.type << " " << value.data << "}";
}

std::optional<std::vector<RegKey>> RegExeQuery(const std::string& key, bool subkeys) {
  std::wstring command = L"reg.exe query \"" + std::wstring(key.begin(), key.end()) + L"\"";
  if (subkeys) command += L" /s";
  std::istringstream in(RunProgram(command).output);
  std::vector<RegKey> keys;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("HKEY_", 0) == 0)
      keys.push_back({line, {}});
    else if (line.rfind("    ", 0) == 0 && !keys.empty())
      keys.back().values.push_back(ParseValueLine(line));
  }
  if (keys.empty()) return std::nullopt;
  return keys;
}

}  // namespace testing_support
