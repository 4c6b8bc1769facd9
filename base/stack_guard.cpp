// The stack protector's canary and its failure, in place of GCC's libssp. -fstack-protector-strong
// puts the canary in every function of ours with arrays or addresses of locals; it is filled with
// random bytes from RtlGenRandom (advapi32's SystemFunction036; advapi32 is loaded anyway) before
// any of those functions runs. libssp gets its bytes from a legacy cryptographic provider
// (CryptAcquireContext), whose set-up loads rsaenh, crypt32 and bcrypt at every start.
// The static link takes this file only when the code refers to the canary, so an image that
// imports SystemFunction036 has the stack protector in it: scripts/check-release looks for that.
#include <windows.h>
#include <ntsecapi.h>

#include <cstdint>

extern "C" {

// Compared at the exit of every protected function with the copy its entry made.
void* __stack_chk_guard = nullptr;

// A failed check: the stack can no longer be trusted, so the process ends at once, running no
// handler, destructor or atexit function, with the code Windows gives a stack buffer overrun.
[[noreturn]] void __stack_chk_fail() {
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  __builtin_trap();
}
}

namespace {

// Priority 101, the first one left to programs: before the C++ initialisers and so before any
// protected function. Without a canary of its own, as it changes the value one would compare.
__attribute__((constructor(101), no_stack_protector)) void FillStackGuard() {
  if (RtlGenRandom(&__stack_chk_guard, sizeof __stack_chk_guard)) return;
  // Never seen to fail; should it, a value that still differs from start to start.
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  const auto process = static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16;
  __stack_chk_guard = reinterpret_cast<void*>(static_cast<std::uintptr_t>(counter.QuadPart) ^ process ^
                                              reinterpret_cast<std::uintptr_t>(&counter));
}

}  // namespace
