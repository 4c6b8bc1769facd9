# Warning levels and, for Windows, static linking and hardening; applied to every target below.
add_compile_options(
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wformat=2 -Wundef -Wnull-dereference
  -Wimplicit-fallthrough -Wduplicated-cond -Wlogical-op)
if(VT_WERROR)
  add_compile_options(-Werror)
endif()

if(VT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Narrow registry functions, wide user interface: no UNICODE macro, each call names its A or W form.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No libstdc++, libgcc or libwinpthread DLL next to the exe.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # ASLR and DEP for every image; high-entropy addresses where the address space has room for them.
  # Terminal-Server-aware as well, as a default MSVC build is.
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  else()
    # No SEH: the i686 images install no exception-handler frame of their own (the compiler
    # unwinds C++ exceptions with DWARF tables), so none of their code may ever be called as one.
    add_link_options(-Wl,--large-address-aware -Wl,--no-seh)
  endif()
  # A canary in every function of ours with arrays or addresses of locals; GoogleTest, added
  # before this file, and the static runtime libraries go without. Not a link option: that would
  # bring GCC's libssp; base/stack_guard.cpp sets the canary up instead.
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fstack-protector-strong>)
  # Reproducible images: no link time in the PE header (0 instead, and so the same checksum),
  # and neither the source nor the build folder in anything compiled.
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
                      $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
endif()
