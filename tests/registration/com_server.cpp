// A stand-in for the context-menu handler DLL, for the tests only: an in-process server whose
// class factory makes a context-menu handler (IShellExtInit, IContextMenu) that adds three
// entries of its own text and does nothing when one is chosen. So a test can see COM find and
// load it through what the commit registered, and the shell put its entries in a file's menu.
#include <windows.h>
#include <shlobj.h>

#include <new>

#include "tests/registration/handler_clsid.h"

namespace {

LONG liveObjects = 0;  // objects and server locks that keep the DLL loaded

constexpr UINT kEntries = 3;
constexpr const char* kVerbs[kEntries] = {"vt_standin_90", "vt_standin_180", "vt_standin_270"};

class Object final : public IShellExtInit, public IContextMenu {
public:
  Object() { InterlockedIncrement(&liveObjects); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit)) {
      *out = static_cast<IShellExtInit*>(this);
    } else if (IsEqualIID(iid, IID_IContextMenu)) {
      *out = static_cast<IContextMenu*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY) override { return S_OK; }

  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override {
    if ((flags & CMF_DEFAULTONLY) || last < first || last - first < kEntries - 1)
      return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    for (UINT entry = 0; entry < kEntries; ++entry)
      if (!InsertMenuW(menu, index + entry, MF_BYPOSITION | MF_STRING, first + entry,
                       registration_tests::kStandInEntries[entry]))
        return HRESULT_FROM_WIN32(GetLastError());
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, kEntries);  // the highest offset used, plus one
  }
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
    if (!info) return E_INVALIDARG;
    if (IS_INTRESOURCE(info->lpVerb)) return LOWORD(info->lpVerb) < kEntries ? S_OK : E_FAIL;
    for (const char* verb : kVerbs)
      if (lstrcmpiA(info->lpVerb, verb) == 0) return S_OK;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* name, UINT size) override {
    if (command >= kEntries) return E_INVALIDARG;
    if (type == GCS_VALIDATEA || type == GCS_VALIDATEW) return S_OK;
    if (!name || size == 0) return E_INVALIDARG;
    auto* wide = reinterpret_cast<LPWSTR>(name);  // the W types ask for UTF-16 in the same buffer
    switch (type) {
      case GCS_VERBA: lstrcpynA(name, kVerbs[command], static_cast<int>(size)); return S_OK;
      case GCS_VERBW:
        return MultiByteToWideChar(CP_ACP, 0, kVerbs[command], -1, wide, static_cast<int>(size)) ? S_OK : E_INVALIDARG;
      case GCS_HELPTEXTW:
        lstrcpynW(wide, registration_tests::kStandInEntries[command], static_cast<int>(size));
        return S_OK;
      default: return E_NOTIMPL;
    }
  }

private:
  ~Object() { InterlockedDecrement(&liveObjects); }
  LONG references_ = 1;
};

// One static factory; it lives as long as the DLL.
class Factory final : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Object* object = new (std::nothrow) Object;
    if (!object) return E_OUTOFMEMORY;
    const HRESULT result = object->QueryInterface(iid, out);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      InterlockedIncrement(&liveObjects);
    else
      InterlockedDecrement(&liveObjects);
    return S_OK;
  }
};

Factory factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, registration_tests::kHandlerClsid)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return liveObjects == 0 ? S_OK : S_FALSE; }
