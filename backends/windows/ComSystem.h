// The system calls of the DirectShow backend, behind one interface so that
// tests can run the real backend over fake COM objects. Windows-only.
#pragma once

#include "CapturePort.h"

#include <windows.h>
#include <ole2.h>

#include <memory>

namespace vidorra::directshow {

class ComSystem {
public:
    virtual ~ComSystem() = default;

    virtual HRESULT initialize();  // CoInitializeEx, apartment-threaded
    virtual void uninitialize();   // CoUninitialize
    virtual HRESULT createInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **object);
    virtual HRESULT createPropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                                       IUnknown **objects, ULONG pageCount, CLSID *pages, LCID locale,
                                       DWORD reserved, void *reservedPointer);
    virtual void taskMemFree(void *block);        // CoTaskMemFree
    virtual void variantInit(VARIANT *variant);   // VariantInit
    virtual HRESULT variantClear(VARIANT *variant);  // VariantClear (frees a BSTR)
    virtual unsigned long long milliseconds();       // GetTickCount64
};

// The DirectShow port over `system`; createDirectShowPort() uses the real one.
std::unique_ptr<CapturePort> createDirectShowPort(std::shared_ptr<ComSystem> system);

}  // namespace vidorra::directshow
