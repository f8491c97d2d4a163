// Reference counting of the test camera's COM objects: each deletes itself
// on its last Release.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace vcam {

class RefCounted {
public:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted &) = delete;
    RefCounted &operator=(const RefCounted &) = delete;

    ULONG addRef() { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
    ULONG release()
    {
        const LONG left = InterlockedDecrement(&refs);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

private:
    LONG refs = 1;  // the creator's
};

template <class I>
HRESULT handOut(I *object, void **out)
{
    object->AddRef();
    *out = object;
    return S_OK;
}

}  // namespace vcam

#define VCAM_IUNKNOWN                                                                                 \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override                         \
    {                                                                                                 \
        if (!out)                                                                                     \
            return E_POINTER;                                                                         \
        *out = nullptr;                                                                               \
        return query(iid, out);                                                                       \
    }                                                                                                 \
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }                                    \
    ULONG STDMETHODCALLTYPE Release() override { return release(); }
