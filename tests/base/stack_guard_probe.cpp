// Linked as the program is: `stack_guard_probe` prints this start's stack canary, which
// scripts/check-release reads at two starts; `stack_guard_probe N` writes N bytes into an
// 8-byte array, and past its canary when N is large enough.
#include <cstdio>
#include <cstdlib>

extern "C" void* __stack_chk_guard;

namespace {

__attribute__((noinline)) void Fill(int count) {
  [[maybe_unused]] volatile char bytes[8];
  for (int i = 0; i < count; ++i) bytes[i] = 'x';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) Fill(std::atoi(argv[1]));
  std::printf("%p\n", __stack_chk_guard);
}
