#include "MediaTypes.h"

#include "ComObject.h"

#include <cstring>
#include <mutex>

namespace vcam {

HRESULT makeMediaType(AM_MEDIA_TYPE *type, REFERENCE_TIME interval)
{
    auto *info = static_cast<VIDEOINFOHEADER *>(CoTaskMemAlloc(sizeof(VIDEOINFOHEADER)));
    if (!info)
        return E_OUTOFMEMORY;
    std::memset(info, 0, sizeof *info);
    info->AvgTimePerFrame = interval;
    info->dwBitRate = static_cast<DWORD>(kFrameBytes * 8ull * 10000000 / static_cast<unsigned long long>(interval));
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = kWidth;
    info->bmiHeader.biHeight = kHeight;  // positive: rows bottom up, as RGB DIBs are
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 32;
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biSizeImage = kFrameBytes;
    std::memset(type, 0, sizeof *type);
    type->majortype = MEDIATYPE_Video;
    type->subtype = MEDIASUBTYPE_RGB32;
    type->bFixedSizeSamples = TRUE;
    type->lSampleSize = kFrameBytes;
    type->formattype = FORMAT_VideoInfo;
    type->cbFormat = sizeof(VIDEOINFOHEADER);
    type->pbFormat = reinterpret_cast<BYTE *>(info);
    return S_OK;
}

HRESULT copyMediaType(AM_MEDIA_TYPE *to, const AM_MEDIA_TYPE &from)
{
    *to = from;
    if (from.cbFormat && from.pbFormat) {
        to->pbFormat = static_cast<BYTE *>(CoTaskMemAlloc(from.cbFormat));
        if (!to->pbFormat) {
            to->cbFormat = 0;
            to->pUnk = nullptr;
            return E_OUTOFMEMORY;
        }
        std::memcpy(to->pbFormat, from.pbFormat, from.cbFormat);
    } else {
        to->pbFormat = nullptr;
        to->cbFormat = 0;
    }
    if (to->pUnk)
        to->pUnk->AddRef();
    return S_OK;
}

AM_MEDIA_TYPE *newMediaType(const AM_MEDIA_TYPE &from)
{
    auto *type = static_cast<AM_MEDIA_TYPE *>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (type && FAILED(copyMediaType(type, from))) {
        CoTaskMemFree(type);
        type = nullptr;
    }
    return type;
}

void freeMediaType(AM_MEDIA_TYPE *type)
{
    if (type->pbFormat)
        CoTaskMemFree(type->pbFormat);
    if (type->pUnk)
        type->pUnk->Release();
    type->pbFormat = nullptr;
    type->cbFormat = 0;
    type->pUnk = nullptr;
}

void deleteMediaType(AM_MEDIA_TYPE *type)
{
    if (!type)
        return;
    freeMediaType(type);
    CoTaskMemFree(type);
}

bool isOurFormat(const AM_MEDIA_TYPE *type)
{
    if (!type || type->majortype != MEDIATYPE_Video || type->subtype != MEDIASUBTYPE_RGB32 ||
        type->formattype != FORMAT_VideoInfo || type->cbFormat < sizeof(VIDEOINFOHEADER) || !type->pbFormat)
        return false;
    const auto *info = reinterpret_cast<const VIDEOINFOHEADER *>(type->pbFormat);
    return info->bmiHeader.biWidth == kWidth && info->bmiHeader.biHeight == kHeight &&
           info->bmiHeader.biBitCount == 32 && info->bmiHeader.biCompression == BI_RGB;
}

REFERENCE_TIME intervalOf(const AM_MEDIA_TYPE &type)
{
    const auto *info = reinterpret_cast<const VIDEOINFOHEADER *>(type.pbFormat);
    return info && type.cbFormat >= sizeof(VIDEOINFOHEADER) && info->AvgTimePerFrame > 0 ? info->AvgTimePerFrame
                                                                                          : kFrameInterval;
}

void fillStreamCaps(VIDEO_STREAM_CONFIG_CAPS *caps)
{
    std::memset(caps, 0, sizeof *caps);
    caps->guid = FORMAT_VideoInfo;
    caps->InputSize = {kWidth, kHeight};
    caps->MinCroppingSize = caps->MaxCroppingSize = caps->InputSize;
    caps->CropGranularityX = caps->CropGranularityY = 1;
    caps->CropAlignX = caps->CropAlignY = 1;
    caps->MinOutputSize = caps->MaxOutputSize = caps->InputSize;
    caps->OutputGranularityX = caps->OutputGranularityY = 1;
    caps->MinFrameInterval = caps->MaxFrameInterval = kFrameInterval;  // never 0: Qt divides by them
    caps->MinBitsPerSecond = caps->MaxBitsPerSecond =
        static_cast<LONG>(kFrameBytes * 8ll * 10000000 / kFrameInterval);
}

namespace {

class EnumMediaTypes final : public RefCounted, public IEnumMediaTypes {
public:
    explicit EnumMediaTypes(const AM_MEDIA_TYPE &type, ULONG position = 0) : position(position)
    {
        copied = SUCCEEDED(copyMediaType(&held, type));
    }
    ~EnumMediaTypes() override
    {
        if (copied)
            freeMediaType(&held);
    }
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE **out, ULONG *fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        const std::lock_guard<std::mutex> hold(lock);
        ULONG n = 0;
        if (count > 0 && position == 0 && copied) {
            out[0] = newMediaType(held);
            if (!out[0])
                return E_OUTOFMEMORY;
            n = 1;
            position = 1;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const std::lock_guard<std::mutex> hold(lock);
        const ULONG target = position + count;
        position = target > 1 ? 1 : target;
        return target <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        const std::lock_guard<std::mutex> hold(lock);
        position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes **out) override
    {
        if (!out)
            return E_POINTER;
        const std::lock_guard<std::mutex> hold(lock);
        *out = new EnumMediaTypes(held, position);
        return S_OK;
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes)
            return handOut(static_cast<IEnumMediaTypes *>(this), out);
        return E_NOINTERFACE;
    }
    std::mutex lock;
    AM_MEDIA_TYPE held{};
    bool copied = false;
    ULONG position;
};

}  // namespace

HRESULT createMediaTypeEnumerator(const AM_MEDIA_TYPE &type, IEnumMediaTypes **out)
{
    if (!out)
        return E_POINTER;
    *out = new EnumMediaTypes(type);
    return S_OK;
}

}  // namespace vcam
