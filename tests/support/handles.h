// Owning Windows handles for the tests, on the product's handle template.
#pragma once

#include <windows.h>

#include "settings/handle.h"

namespace testing_support {

using KernelHandle = settings::UniqueHandle<HANDLE, &CloseHandle>;  // processes, threads, pipes
using KeyHandle = settings::UniqueHandle<HKEY, &RegCloseKey>;

}  // namespace testing_support
