// The test camera's class ids, and IKsTopologyInfo, which MinGW-w64's
// headers do not declare (vidcap.h).
#pragma once

#include <windows.h>
#include <dshow.h>
#include <ks.h>

namespace vcam {

// The camera filter, made by the enumerator's monikers (or CoCreateInstance).
constexpr CLSID kFilterClsid = {0xba2eb06d, 0xbd3e, 0x40bf, {0xb3, 0x0e, 0xee, 0x94, 0x95, 0xc9, 0x66, 0x1a}};
// Its property page, which OleCreatePropertyFrame creates by this id.
constexpr CLSID kPageClsid = {0x4f467fbc, 0x67d8, 0x4e13, {0xbe, 0x9b, 0x5e, 0xce, 0x9f, 0xca, 0x39, 0x44}};

// Toolchains disagree on which import library defines these.
constexpr IID kIidKsControl = {0x28F54685, 0x06FD, 0x11D2, {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr IID kIidKsTopologyInfo = {0x720D4AC0, 0x7533, 0x11D0, {0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00}};

// The caption of the property page, which tests look for.
constexpr wchar_t kPageTitle[] = L"Vidorra Virtual Camera";

struct IKsTopologyInfo : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_NumCategories(DWORD *count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Category(DWORD index, GUID *category) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NumConnections(DWORD *count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ConnectionInfo(DWORD index, KSTOPOLOGY_CONNECTION *connection) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NodeName(DWORD node, WCHAR *name, DWORD bufferSize, DWORD *nameLength) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NumNodes(DWORD *count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NodeType(DWORD node, GUID *type) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateNodeInstance(DWORD node, REFIID iid, void **out) = 0;
};

}  // namespace vcam
