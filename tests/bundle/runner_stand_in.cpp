// A stand-in test program for checking run-tests.cmd: what it does is in its file name.
// NAME_pass_test / NAME_crash_test print GoogleTest's closing lines for one passed case and
// write its report (--gtest_output=xml:PATH); the crash one then exits with 3, as a program
// that dies in its static destructors would. NAME_hang_test never ends.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  const std::string self = argv[0];
  if (self.find("hang") != std::string::npos) Sleep(INFINITE);
  const char* prefix = "--gtest_output=xml:";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix, std::strlen(prefix)) != 0) continue;
    if (FILE* report = std::fopen(argv[i] + std::strlen(prefix), "w")) {
      std::fputs(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"1\" failures=\"0\">\n"
          "  <testsuite name=\"StandIn\" tests=\"1\"><testcase name=\"Runs\" classname=\"StandIn\" "
          "status=\"run\" result=\"completed\"/></testsuite>\n</testsuites>\n",
          report);
      std::fclose(report);
    }
  }
  std::puts("[==========] 1 test from 1 test suite ran. (0 ms total)\n[  PASSED  ] 1 test.");
  return self.find("crash") != std::string::npos ? 3 : 0;
}
