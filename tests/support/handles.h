// Owning Windows handles for the tests, on the product's handle template.
#pragma once

#include <windows.h>

#include "ui/handle.h"

namespace testing_support {

using KernelHandle = ui::UniqueHandle<HANDLE, &CloseHandle>;  // processes, threads, pipes
using KeyHandle = ui::UniqueHandle<HKEY, &RegCloseKey>;

}  // namespace testing_support
