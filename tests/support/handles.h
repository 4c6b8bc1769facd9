// Owning Windows handles for the tests, on the product's handle template.
#pragma once

#include <windows.h>

#include "base/handle.h"

namespace testing_support {

using KernelHandle = base::UniqueHandle<HANDLE, &CloseHandle>;  // processes, threads, pipes
using KeyHandle = base::UniqueHandle<HKEY, &RegCloseKey>;
using MenuHandle = base::UniqueHandle<HMENU, &DestroyMenu>;

}  // namespace testing_support
