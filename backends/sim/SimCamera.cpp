#include "SimCamera.h"

#include "CameraIdentity.h"

#include <algorithm>
#include <utility>

namespace vidorra::sim {

const char kDefaultRecord[] = "SOC:V9 SIM-1.1";

namespace {

using Type = ControlInfo::Type;
using Page = ControlInfo::Page;

ControlInfo makeControl(std::uint32_t id, const char *name, Type type, Page page, std::int32_t minimum,
                        std::int32_t maximum, std::int32_t step, std::int32_t defaultValue)
{
    ControlInfo c;
    c.id = id;
    c.name = name;
    c.type = type;
    c.page = page;
    c.minimum = minimum;
    c.maximum = maximum;
    c.step = step;
    c.defaultValue = defaultValue;
    return c;
}

// The camera's standard controls in the order the property pages list them.
const std::vector<ControlInfo> &standardControls()
{
    static const std::vector<ControlInfo> table = [] {
        std::vector<ControlInfo> t;
        t.push_back(makeControl(controlId::Brightness, "Brightness", Type::Integer, Page::VideoProcAmp, -64, 64, 1, 0));
        t.push_back(makeControl(controlId::Contrast, "Contrast", Type::Integer, Page::VideoProcAmp, 0, 64, 1, 32));
        t.push_back(makeControl(controlId::Saturation, "Saturation", Type::Integer, Page::VideoProcAmp, 0, 128, 1, 64));
        t.push_back(makeControl(controlId::Sharpness, "Sharpness", Type::Integer, Page::VideoProcAmp, 0, 6, 1, 3));
        t.push_back(makeControl(controlId::Gamma, "Gamma", Type::Integer, Page::VideoProcAmp, 72, 500, 1, 100));
        t.push_back(makeControl(controlId::WhiteBalanceAutomatic, "White Balance, Automatic", Type::Boolean,
                                Page::VideoProcAmp, 0, 1, 1, 1));
        t.push_back(makeControl(controlId::WhiteBalanceTemperature, "White Balance Temperature", Type::Integer,
                                Page::VideoProcAmp, 2800, 6500, 10, 4600));
        ControlInfo exposure = makeControl(controlId::ExposureAuto, "Auto Exposure", Type::Menu, Page::CameraControl,
                                           kExposureManual, kExposureAutomatic, 1, kExposureAutomatic);
        exposure.menuItems = {{kExposureManual, "Manual Mode"}, {kExposureAutomatic, "Automatic Mode"}};
        t.push_back(exposure);
        t.push_back(makeControl(controlId::ExposureTime, "Exposure Time, Absolute", Type::Integer,
                                Page::CameraControl, 3, 2047, 1, 156));
        return t;
    }();
    return table;
}

const ControlInfo *findStandardControl(std::uint32_t id)
{
    for (const ControlInfo &c : standardControls())
        if (c.id == id)
            return &c;
    return nullptr;
}

}  // namespace

SimCamera::SimCamera(std::string friendlyName, std::string devicePath)
    : identity(identityFromDevicePath(devicePath)), name(std::move(friendlyName)), path(std::move(devicePath))
{
    restoreDefaults();
}

bool SimCamera::hasSelector(int selector) { return vidorra::findControl(selector) != nullptr; }

bool SimCamera::canGet(int selector)
{
    const VendorControl *c = vidorra::findControl(selector);
    return c && c->canGet();
}

bool SimCamera::canSet(int selector)
{
    const VendorControl *c = vidorra::findControl(selector);
    return c && c->canSet();
}

std::uint32_t SimCamera::ownLength(int selector)
{
    const VendorControl *c = vidorra::findControl(selector);
    return c ? c->length : 0u;
}

std::uint8_t SimCamera::value(int selector) const
{
    if (selector < 0 || static_cast<std::size_t>(selector) >= values.size())
        return 0;
    return values[static_cast<std::size_t>(selector)];
}

void SimCamera::setValue(int selector, std::uint8_t byte)
{
    if (selector < 0 || static_cast<std::size_t>(selector) >= values.size())
        return;
    values[static_cast<std::size_t>(selector)] = byte;
}

std::string SimCamera::record() const
{
    const auto end = std::find(info.begin(), info.end(), std::uint8_t{0});
    return std::string(info.begin(), end);
}

void SimCamera::setRecord(const std::string &text)
{
    info.fill(0);
    std::copy_n(text.begin(), std::min(text.size(), info.size()), info.begin());
}

void SimCamera::setRecordBytes(const std::array<std::uint8_t, 24> &bytes) { info = bytes; }

void SimCamera::resumeFromSuspend()
{
    if (!losesSettingsInSuspend)
        return;
    const auto record = info;
    restoreDefaults();
    info = record;
}

void SimCamera::restoreDefaults()
{
    setRecord(kDefaultRecord);
    values.fill(0);
    for (const VendorControl &c : kVendorControls)
        if (c.kind != ControlKind::Record)
            setValue(c.selector, c.simDefault);
    whiteBalanceAuto = true;
    whiteBalanceTemperature = 4600;
    standard.clear();
    for (const ControlInfo &c : standardControls())
        if (c.id != controlId::WhiteBalanceAutomatic && c.id != controlId::WhiteBalanceTemperature)
            standard.emplace_back(c.id, c.defaultValue);
}

std::vector<ControlInfo> SimCamera::controls() const
{
    std::vector<ControlInfo> list = standardControls();
    std::int32_t exposure = kExposureAutomatic;
    control(controlId::ExposureAuto, &exposure);
    for (ControlInfo &c : list) {
        if (c.id == controlId::WhiteBalanceTemperature && whiteBalanceAuto)
            c.flags |= ControlInfo::Inactive;
        if (c.id == controlId::ExposureTime && exposure != kExposureManual)
            c.flags |= ControlInfo::Inactive;
    }
    return list;
}

Status SimCamera::control(std::uint32_t id, std::int32_t *value) const
{
    if (id == controlId::WhiteBalanceAutomatic) {
        *value = whiteBalanceAuto ? 1 : 0;
        return status::Ok;
    }
    if (id == controlId::WhiteBalanceTemperature) {
        *value = whiteBalanceTemperature;
        return status::Ok;
    }
    for (const auto &entry : standard)
        if (entry.first == id) {
            *value = entry.second;
            return status::Ok;
        }
    return status::NotFound;
}

Status SimCamera::setControl(std::uint32_t id, std::int32_t value)
{
    const ControlInfo *info = findStandardControl(id);
    if (!info)
        return status::NotFound;
    for (const ControlInfo &c : controls())
        if (c.id == id && (c.flags & (ControlInfo::Inactive | ControlInfo::ReadOnly)))
            return status::AccessDenied;  // as a driver refuses a control its automatic one owns

    if (info->type == Type::Menu) {
        const bool listed = std::any_of(info->menuItems.begin(), info->menuItems.end(),
                                        [value](const auto &item) { return item.first == value; });
        if (!listed)
            return status::InvalidArgument;
    } else {
        // Integers are clamped into range and onto the step, as V4L2 does.
        value = std::clamp(value, info->minimum, info->maximum);
        if (info->step > 1)
            value = info->minimum + (value - info->minimum) / info->step * info->step;
    }

    if (id == controlId::WhiteBalanceAutomatic) {
        whiteBalanceAuto = value != 0;
        return status::Ok;
    }
    if (id == controlId::WhiteBalanceTemperature) {
        whiteBalanceTemperature = value;
        return status::Ok;
    }
    for (auto &entry : standard)
        if (entry.first == id) {
            entry.second = value;
            return status::Ok;
        }
    return status::NotFound;
}

}  // namespace vidorra::sim
