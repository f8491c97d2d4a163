#include "SimCapturePort.h"

#include "SimAnswers.h"
#include "SimHub.h"

#include <utility>

namespace vidorra::sim {

namespace {

class SimHandle final : public CaptureHandle {
public:
    SimHandle(std::shared_ptr<SimHub> hub, std::shared_ptr<SimCamera> camera)
        : hub(std::move(hub)), cam(std::move(camera))
    {
    }

    Status probeNode(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                     std::uint32_t *bytesReturned) override
    {
        PortCall call = start(CallKind::ProbeNode, node, selector);
        *bytesReturned = 0;
        Status s = gate();
        if (succeeded(s))
            s = carries(*cam, propertySet, selector, node) ? status::Ok : status::NotFound;
        return finish(std::move(call), s);
    }

    Status queryLength(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                       std::uint32_t *bytesReturned) override
    {
        PortCall call = start(CallKind::QueryLength, node, selector);
        *bytesReturned = 0;
        Status s = gate();
        if (succeeded(s))
            s = carries(*cam, propertySet, selector, node) ? status::Ok : status::NotFound;
        if (succeeded(s))
            *bytesReturned = reportedLength(*cam, selector);
        call.value = static_cast<std::int32_t>(*bytesReturned);
        return finish(std::move(call), s);
    }

    Status transfer(const Guid &propertySet, std::uint32_t selector, std::uint32_t node, XuOp op,
                    std::uint8_t *data, std::uint32_t length, std::uint32_t *bytesReturned) override
    {
        PortCall call = start(op == XuOp::Set ? CallKind::Set : CallKind::Get, node, selector);
        *bytesReturned = 0;
        if (op == XuOp::Set && data)
            call.bytes.assign(data, data + length);
        Status s = gate();
        if (succeeded(s))
            s = answerTransfer(*cam, propertySet, selector, node, op, data, length, bytesReturned);
        if (succeeded(s) && op == XuOp::Get)
            call.bytes.assign(data, data + length);
        return finish(std::move(call), s);
    }

    Status extensionUnitAccess() const override { return cam->faults.extensionUnitAccess; }

    Status readWhiteBalance(std::int32_t *value, std::int32_t *flags) override
    {
        PortCall call = start(CallKind::ReadWhiteBalance, 0, 0);
        Status s = gate();
        if (succeeded(s)) {
            s = answerWhiteBalance(*cam, value, flags);
            if (succeeded(s))
                call.value = *flags;
        }
        return finish(std::move(call), s);
    }

    Status showPropertyPages() override
    {
        // No platform property frame: the caller shows the controls itself.
        PortCall call = start(CallKind::ShowPropertyPages, 0, 0);
        Status s = gate();
        return finish(std::move(call), succeeded(s) ? status::NotImplemented : s);
    }

    Status listControls(std::vector<ControlInfo> *controls) override
    {
        controls->clear();
        PortCall call = start(CallKind::ListControls, 0, 0);
        Status s = gate();
        if (succeeded(s))
            *controls = cam->controls();
        return finish(std::move(call), s);
    }

    Status getControl(std::uint32_t id, std::int32_t *value) override
    {
        PortCall call = start(CallKind::GetControl, 0, id);
        Status s = gate();
        if (succeeded(s))
            s = cam->control(id, value);
        if (succeeded(s))
            call.value = *value;
        return finish(std::move(call), s);
    }

    Status setControl(std::uint32_t id, std::int32_t value) override
    {
        PortCall call = start(CallKind::SetControl, 0, id);
        call.value = value;
        Status s = gate();
        if (succeeded(s))
            s = cam->setControl(id, value);
        return finish(std::move(call), s);
    }

private:
    PortCall start(CallKind kind, std::uint32_t node, std::uint32_t selector) const
    {
        PortCall call;
        call.kind = kind;
        call.device = cam->devicePath();
        call.node = node;
        call.selector = selector;
        return call;
    }

    Status finish(PortCall call, Status s)
    {
        call.status = s;
        hub->recordCall(std::move(call));
        return s;
    }

    // Faults that hit every call on the device.
    Status gate()
    {
        Faults &f = cam->faults;
        if (f.vanished)
            return status::NoSuchDevice;
        if (f.failRequests != 0) {
            if (f.failRequests > 0)
                --f.failRequests;
            return f.failStatus;
        }
        return status::Ok;
    }

    std::shared_ptr<SimHub> hub;
    std::shared_ptr<SimCamera> cam;
};

}  // namespace

SimCapturePort::SimCapturePort(std::shared_ptr<SimHub> hub) : hub(std::move(hub)) {}

Status SimCapturePort::listDevices(std::vector<DeviceEntry> *devices)
{
    devices->clear();
    errorText.clear();
    listed = hub->cameras();
    for (const auto &camera : listed) {
        DeviceEntry entry;
        entry.hasName = !camera->faults.noName;
        if (entry.hasName)
            entry.friendlyName = camera->friendlyName();
        entry.hasPath = !camera->faults.noPath;
        if (entry.hasPath)
            entry.devicePath = camera->devicePath();
        entry.identity = camera->identity;
        devices->push_back(std::move(entry));
    }
    const Status s = listed.empty() ? status::False : status::Ok;
    PortCall call;
    call.kind = CallKind::ListDevices;
    call.value = static_cast<std::int32_t>(listed.size());
    call.status = s;
    hub->recordCall(std::move(call));
    return s;
}

Status SimCapturePort::openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle)
{
    handle->reset();
    PortCall call;
    call.kind = CallKind::OpenDevice;
    Status s = status::Ok;
    if (index >= listed.size()) {
        s = status::InvalidArgument;
        errorText = "The camera list changed; please choose the camera again.";
    } else {
        const std::shared_ptr<SimCamera> &camera = listed[index];
        call.device = camera->devicePath();
        if (camera->faults.vanished) {
            s = status::NoSuchDevice;
            errorText = "The camera \"" + camera->friendlyName() + "\" is no longer connected.";
        } else if (!succeeded(camera->faults.openStatus)) {
            s = camera->faults.openStatus;
            errorText = "The camera \"" + camera->friendlyName() + "\" could not be opened.";
        } else {
            s = camera->faults.openStatus;
            *handle = std::make_unique<SimHandle>(hub, camera);
        }
    }
    call.status = s;
    hub->recordCall(std::move(call));
    return s;
}

}  // namespace vidorra::sim
