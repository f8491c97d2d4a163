// Owner of one counted reference to a COM interface. Part of the DirectShow
// backend: included only by Windows-only sources.
#pragma once

#include <unknwn.h>

namespace vidorra::directshow {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ComPtr(ComPtr &&other) noexcept : ptr(other.ptr) { other.ptr = nullptr; }
    ComPtr &operator=(ComPtr &&other) noexcept
    {
        if (this != &other) {
            reset();
            ptr = other.ptr;
            other.ptr = nullptr;
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    T *get() const { return ptr; }
    T *operator->() const { return ptr; }
    explicit operator bool() const { return ptr != nullptr; }

    void reset()
    {
        if (ptr) {
            T *old = ptr;
            ptr = nullptr;
            old->Release();
        }
    }
    // For out-parameters that hand over a reference: drops the one held first.
    T **put()
    {
        reset();
        return &ptr;
    }
    void **putVoid() { return reinterpret_cast<void **>(put()); }

    // A second holder of the same object, with its own reference.
    ComPtr copy() const
    {
        ComPtr other;
        if (ptr) {
            ptr->AddRef();
            other.ptr = ptr;
        }
        return other;
    }

    template <class U>
    HRESULT queryInterface(REFIID iid, ComPtr<U> *out) const
    {
        if (!ptr) {
            out->reset();
            return E_POINTER;
        }
        return ptr->QueryInterface(iid, out->putVoid());
    }

private:
    T *ptr = nullptr;
};

}  // namespace vidorra::directshow
