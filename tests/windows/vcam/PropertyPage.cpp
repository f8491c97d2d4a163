#include "PropertyPage.h"

#include "CallLog.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "VcamIds.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace vcam {

namespace {

using vidorra::directshow::ComPtr;

const wchar_t kWindowClass[] = L"VidorraVcamPage";
constexpr int kAutomatic = 101;
constexpr int kTemperature = 102;
constexpr int kSetTemperature = 103;
constexpr int kStatus = 104;
constexpr SIZE kPageSize = {320, 140};

class PropertyPage final : public RefCounted, public IPropertyPage {
public:
    ~PropertyPage() override
    {
        if (window)
            DestroyWindow(window);
    }
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite *newSite) override
    {
        site.reset();
        if (newSite) {
            newSite->AddRef();
            *site.put() = newSite;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, WINBOOL) override
    {
        if (!rect)
            return E_POINTER;
        window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, L"", WS_CHILD | WS_TABSTOP, rect->left, rect->top,
                                 rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                                 moduleInstance(), this);
        if (!window)
            return HRESULT_FROM_WIN32(GetLastError());
        control(L"STATIC", L"Vidorra Virtual Camera: white balance", 0, 10, 10, 300, 20);
        control(L"BUTTON", L"Automatic white balance", kAutomatic, 10, 38, 260, 22, BS_AUTOCHECKBOX | WS_TABSTOP);
        control(L"STATIC", L"Temperature (K):", 0, 10, 72, 120, 20);
        control(L"EDIT", L"", kTemperature, 135, 70, 70, 22, ES_NUMBER | WS_BORDER | WS_TABSTOP);
        control(L"BUTTON", L"Set", kSetTemperature, 215, 69, 60, 24, BS_PUSHBUTTON | WS_TABSTOP);
        control(L"STATIC", L"", kStatus, 10, 104, 300, 20);
        showCamera();
        logLine("page activate");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Deactivate() override
    {
        if (window)
            DestroyWindow(window);
        window = nullptr;
        logLine("page deactivate");
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO *info) override
    {
        if (!info)
            return E_POINTER;
        std::memset(info, 0, sizeof *info);
        info->cb = sizeof *info;
        info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kPageTitle));
        if (!info->pszTitle)
            return E_OUTOFMEMORY;
        std::memcpy(info->pszTitle, kPageTitle, sizeof kPageTitle);
        info->size = kPageSize;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown **objects) override
    {
        procAmp.reset();
        if (count == 0)
            return S_OK;
        if (!objects || !objects[0])
            return E_POINTER;
        return objects[0]->QueryInterface(IID_IAMVideoProcAmp, procAmp.putVoid());
    }

    HRESULT STDMETHODCALLTYPE Show(UINT command) override
    {
        if (window)
            ShowWindow(window, static_cast<int>(command));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override
    {
        if (!rect)
            return E_POINTER;
        if (window)
            MoveWindow(window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }  // nothing waits for Apply
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG *) override { return S_FALSE; }

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l)
    {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(l)->lpCreateParams));
        auto *page = reinterpret_cast<PropertyPage *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (page && message == WM_COMMAND && HIWORD(w) == BN_CLICKED) {
            if (LOWORD(w) == kAutomatic)
                page->applyAutomatic();
            else if (LOWORD(w) == kSetTemperature)
                page->applyTemperature();
            return 0;
        }
        return DefWindowProcW(window, message, w, l);
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IPropertyPage)
            return handOut(static_cast<IPropertyPage *>(this), out);
        return E_NOINTERFACE;
    }

    void control(const wchar_t *kind, const wchar_t *text, int id, int x, int y, int width, int height,
                 DWORD style = 0)
    {
        const HWND child = CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), moduleInstance(),
                                           nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }

    void showStatus(const char *what, HRESULT hr)
    {
        const std::string text = std::string(what) + ": " + hresultText(hr);
        SetDlgItemTextA(window, kStatus, text.c_str());
    }

    void showCamera()
    {
        LONG value = 0;
        LONG flags = 0;
        const HRESULT hr = procAmp ? procAmp->Get(VideoProcAmp_WhiteBalance, &value, &flags) : E_NOINTERFACE;
        if (SUCCEEDED(hr)) {
            CheckDlgButton(window, kAutomatic, flags == VideoProcAmp_Flags_Auto ? BST_CHECKED : BST_UNCHECKED);
            SetDlgItemInt(window, kTemperature, static_cast<UINT>(value), FALSE);
            EnableWindow(GetDlgItem(window, kTemperature), flags != VideoProcAmp_Flags_Auto);
            EnableWindow(GetDlgItem(window, kSetTemperature), flags != VideoProcAmp_Flags_Auto);
        }
        showStatus("read", hr);
    }

    void applyAutomatic()
    {
        const bool automatic = IsDlgButtonChecked(window, kAutomatic) == BST_CHECKED;
        const LONG value = static_cast<LONG>(GetDlgItemInt(window, kTemperature, nullptr, FALSE));
        const HRESULT hr =
            procAmp ? procAmp->Set(VideoProcAmp_WhiteBalance, value,
                                   automatic ? VideoProcAmp_Flags_Auto : VideoProcAmp_Flags_Manual)
                    : E_NOINTERFACE;
        showCamera();
        showStatus("set", hr);
    }

    void applyTemperature()
    {
        BOOL read = FALSE;
        const LONG value = static_cast<LONG>(GetDlgItemInt(window, kTemperature, &read, FALSE));
        const HRESULT hr = !read      ? E_INVALIDARG
                           : procAmp ? procAmp->Set(VideoProcAmp_WhiteBalance, value, VideoProcAmp_Flags_Manual)
                                     : E_NOINTERFACE;
        showCamera();
        showStatus("set", hr);
    }

    ComPtr<IPropertyPageSite> site;
    ComPtr<IAMVideoProcAmp> procAmp;
    HWND window = nullptr;
};

void registerWindowClass()
{
    static const ATOM atom = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.lpfnWndProc = PropertyPage::windowProcedure;
        c.hInstance = moduleInstance();
        c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        c.lpszClassName = kWindowClass;
        return RegisterClassExW(&c);
    }();
    (void)atom;
}

}  // namespace

HRESULT createPropertyPage(REFIID iid, void **out)
{
    registerWindowClass();
    ComPtr<IPropertyPage> page;
    *page.put() = new PropertyPage;
    return page->QueryInterface(iid, out);
}

}  // namespace vcam
