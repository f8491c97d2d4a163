#include "ComSystem.h"

#include <olectl.h>

namespace vidorra::directshow {

HRESULT ComSystem::initialize() { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

void ComSystem::uninitialize() { CoUninitialize(); }

HRESULT ComSystem::createInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **object)
{
    return CoCreateInstance(clsid, outer, context, iid, object);
}

HRESULT ComSystem::createPropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                                       IUnknown **objects, ULONG pageCount, CLSID *pages, LCID locale,
                                       DWORD reserved, void *reservedPointer)
{
    return OleCreatePropertyFrame(owner, x, y, caption, objectCount, objects, pageCount, pages, locale, reserved,
                                  reservedPointer);
}

void ComSystem::taskMemFree(void *block) { CoTaskMemFree(block); }

void ComSystem::variantInit(VARIANT *variant) { VariantInit(variant); }

HRESULT ComSystem::variantClear(VARIANT *variant) { return VariantClear(variant); }

unsigned long long ComSystem::milliseconds() { return GetTickCount64(); }

}  // namespace vidorra::directshow
