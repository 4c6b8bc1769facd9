// A COM client of the handler's class, built at both widths: asks COM for the class in process
// and prints the result (HRESULT in hex). Ends 0 when an object was made, 1 when the class is
// not registered in this program's view of the registry, 2 on anything else.
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "tests/registration/handler_clsid.h"

int main() {
  if (FAILED(CoInitialize(nullptr))) return 2;
  IUnknown* object = nullptr;
  const HRESULT status = CoCreateInstance(registration_tests::kHandlerClsid, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IUnknown, reinterpret_cast<void**>(&object));
  if (object) object->Release();
  CoUninitialize();
  std::printf("0x%08lx\n", static_cast<unsigned long>(status));
  return status == S_OK ? 0 : status == REGDB_E_CLASSNOTREG ? 1 : 2;
}
