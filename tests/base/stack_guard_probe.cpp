// Linked as the program is: prints the stack canary this start was given.
#include <cstdio>

extern "C" void* __stack_chk_guard;

int main() { std::printf("%p\n", __stack_chk_guard); }
