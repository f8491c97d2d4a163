// The DLL's entry points: the class objects of the filter, its property page
// and the device enumerator that stands in for Wine's, and their registration
// (regsvr32 vidorra-vcam.dll). Registering puts this DLL under the system
// device enumerator's class id and keeps the server it replaces; unregistering
// puts that back.
#include "DeviceEnum.h"
#include "Cameras.h"
#include "ComObject.h"
#include "Filter.h"
#include "PropertyPage.h"
#include "VcamIds.h"

#include <dshow.h>
#include <olectl.h>

#include <string>

namespace vcam {

namespace {

HINSTANCE instance = nullptr;

using Create = HRESULT (*)(REFIID, void **);

HRESULT createDefaultFilter(REFIID iid, void **out)
{
    // Made by class id rather than by a moniker: the first attached camera.
    const auto attached = attachedCameras();
    return createFilter(attached.empty() ? testCameras().front() : *attached.front(), iid, out);
}

class ClassFactory final : public RefCounted, public IClassFactory {
public:
    explicit ClassFactory(Create create) : create(create) {}
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return create(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory)
            return handOut(static_cast<IClassFactory *>(this), out);
        return E_NOINTERFACE;
    }
    const Create create;
};

std::wstring clsidKey(const CLSID &clsid)
{
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

HRESULT setValue(HKEY root, const std::wstring &key, const wchar_t *name, const std::wstring &value)
{
    HKEY handle = nullptr;
    LONG status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }
    return HRESULT_FROM_WIN32(status);
}

std::wstring getValue(HKEY root, const std::wstring &key, const wchar_t *name)
{
    wchar_t value[MAX_PATH * 2] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return {};
    return value;
}

HRESULT registerServer(const CLSID &clsid, const wchar_t *name, const std::wstring &path)
{
    const std::wstring key = clsidKey(clsid);
    HRESULT hr = setValue(HKEY_CLASSES_ROOT, key, nullptr, name);
    if (SUCCEEDED(hr))
        hr = setValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr))
        hr = setValue(HKEY_CLASSES_ROOT, key + L"\\InprocServer32", L"ThreadingModel", L"Both");
    return hr;
}

std::wstring modulePath()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    return std::wstring(path, n);
}

const wchar_t kSavedServer[] = L"ReplacedDeviceEnumerator";
const wchar_t kWineServer[] = L"C:\\windows\\system32\\devenum.dll";

}  // namespace

HINSTANCE moduleInstance() { return instance; }

}  // namespace vcam

using namespace vcam;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        instance = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    Create create = nullptr;
    if (clsid == CLSID_SystemDeviceEnum)
        create = createDeviceEnumerator;
    else if (clsid == kFilterClsid)
        create = createDefaultFilter;
    else if (clsid == kPageClsid)
        create = createPropertyPage;
    if (!create)
        return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory *factory = new ClassFactory(create);
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

// Window classes, the card DLL and Wine's enumerator stay with the process, so
// this DLL does too.
extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }

extern "C" HRESULT WINAPI DllRegisterServer()
{
    const std::wstring path = modulePath();
    HRESULT hr = registerServer(kFilterClsid, L"Vidorra Virtual Camera", path);
    if (SUCCEEDED(hr))
        hr = registerServer(kPageClsid, L"Vidorra Virtual Camera Property Page", path);
    const std::wstring devEnum = clsidKey(CLSID_SystemDeviceEnum) + L"\\InprocServer32";
    const std::wstring replaced = getValue(HKEY_CLASSES_ROOT, devEnum, nullptr);
    if (SUCCEEDED(hr) && !replaced.empty() && _wcsicmp(replaced.c_str(), path.c_str()) != 0)
        hr = setValue(HKEY_CLASSES_ROOT, clsidKey(kFilterClsid), kSavedServer, replaced);
    if (SUCCEEDED(hr))
        hr = setValue(HKEY_CLASSES_ROOT, devEnum, nullptr, path);
    if (SUCCEEDED(hr))
        hr = setValue(HKEY_CLASSES_ROOT, devEnum, L"ThreadingModel", L"Both");
    return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer()
{
    std::wstring saved = getValue(HKEY_CLASSES_ROOT, clsidKey(kFilterClsid), kSavedServer);
    if (saved.empty())
        saved = kWineServer;
    const HRESULT hr = setValue(HKEY_CLASSES_ROOT, clsidKey(CLSID_SystemDeviceEnum) + L"\\InprocServer32", nullptr,
                                saved);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, clsidKey(kFilterClsid).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, clsidKey(kPageClsid).c_str());
    return FAILED(hr) ? SELFREG_E_CLASS : S_OK;
}
