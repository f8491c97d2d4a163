#include "KsAnswers.h"

#include "SimAnswers.h"
#include "VendorControls.h"

#include <cstring>

namespace vcam {

namespace {

constexpr ULONG kProbe = KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SETSUPPORT;
constexpr ULONG kGet = KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_GET;
constexpr ULONG kSet = KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SET;

vidorra::Guid fromGuid(const GUID &g)
{
    vidorra::Guid out{g.Data1, g.Data2, g.Data3, {}};
    std::memcpy(out.data4, g.Data4, sizeof out.data4);
    return out;
}

}  // namespace

KsAnswer answerKsNode(vidorra::sim::SimCamera &camera, const KSP_NODE &request, std::uint8_t *data, ULONG length)
{
    using namespace vidorra;
    KsAnswer a;
    const Guid set = fromGuid(request.Property.Set);
    const ULONG id = request.Property.Id;
    const ULONG flags = request.Property.Flags;
    if (set != kXuPropertySet) {
        a.hr = HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);  // E_PROP_SET_UNSUPPORTED
        return a;
    }
    const bool carried = sim::carries(camera, set, id, request.NodeId);
    if (!carried || (flags != kProbe && flags != kGet && flags != kSet)) {
        a.hr = carried ? E_INVALIDARG : status::NotFound;  // NotFound is E_PROP_ID_UNSUPPORTED
        return a;
    }
    if (flags == kProbe)
        return a;
    if (flags == kGet && length == 0) {
        a.returned = sim::reportedLength(camera, id);
        a.hr = HRESULT_FROM_WIN32(ERROR_MORE_DATA);
        return a;
    }
    const ULONG own = sim::SimCamera::ownLength(static_cast<int>(id));
    if (!data) {
        a.hr = E_POINTER;
    } else if (length != own) {
        a.hr = HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
    } else {
        const XuOp op = flags == kSet ? XuOp::Set : XuOp::Get;
        std::uint32_t returned = 0;
        a.hr = sim::answerTransfer(camera, set, id, request.NodeId, op, data, length, &returned);
        a.returned = returned;
        a.stored = op == XuOp::Set && SUCCEEDED(a.hr);
        a.reboots = a.stored && findControl(static_cast<int>(id))->has(controlFlag::RebootsCamera);
    }
    return a;
}

}  // namespace vcam
