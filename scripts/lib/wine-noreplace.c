/* Built by wine-env: qemu-user made to honour MAP_FIXED_NOREPLACE, for 32-bit Wine. */
/* Preloaded into Wine's processes where 32-bit programs run under qemu-user (scripts/lib/wine-env).

   Wine reserves the address space a Windows process may not use with mmap(MAP_FIXED_NOREPLACE)
   at the addresses it wants, halving each range that fails down to 64 KiB. qemu-user 7.2 takes
   the flag for a mere hint: it maps the range elsewhere instead of failing, and Wine, which then
   sees another address, keeps what lies beyond its limit reserved. That eats the top half of the
   address space, so reserving it again fails 32,768 times at 64 KiB, each an emulated mmap and
   munmap: 30 to 60 seconds of CPU at every start of a 32-bit Wine process. Here the flag does
   what the kernel does: a range mapped elsewhere is unmapped again and the call fails with
   EEXIST. Where the kernel honours the flag itself (every 64-bit process) nothing changes.

   Built without headers or C library (gcc -m32 needs no 32-bit development files then): the
   functions it calls are the C library's, found when the library is loaded. */
typedef unsigned long size_t;
typedef long long off64_t;
extern int *__errno_location(void);
extern void *dlsym(void *handle, const char *name);
extern int munmap(void *addr, size_t length);

#define RTLD_NEXT ((void *)-1l)
#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define MAP_FAILED ((void *)-1)

void *mmap64(void *addr, size_t length, int prot, int flags, int fd, off64_t offset) {
  static void *(*next)(void *, size_t, int, int, int, off64_t);
  if (!next) next = (void *(*)(void *, size_t, int, int, int, off64_t))dlsym(RTLD_NEXT, "mmap64");
  void *mapped = next(addr, length, prot, flags, fd, offset);
  if (!(flags & MAP_FIXED_NOREPLACE) || mapped == MAP_FAILED || mapped == addr) return mapped;
  munmap(mapped, length);
  *__errno_location() = EEXIST;
  return MAP_FAILED;
}

void *mmap(void *addr, size_t length, int prot, int flags, int fd, long offset) {
  return mmap64(addr, length, prot, flags, fd, offset);
}
