#include "VendorControls.h"

#include <algorithm>

namespace vidorra {

namespace {
constexpr unsigned GetSet = access::Get | access::Set;
using K = ControlKind;
namespace f = controlFlag;
}  // namespace

// name, selector, length, access, kind, range, simulated default, read order, widget, flags
const std::array<VendorControl, 14> kVendorControls{{
    {"nr2d", selector::Nr2d, 1, GetSet, K::Unsigned, 0, 6, 3, 3, "horizontalSlider_NR2D", 0},
    {"nr3d", selector::Nr3d, 1, GetSet, K::Unsigned, 0, 8, 4, 4, "horizontalSlider_NR3D", 0},
    {"device-info", selector::DeviceInfo, selector::DeviceInfoLength, access::Get, K::Record, 0, 0, 0, 1, nullptr, 0},
    {"exposure-compensation-switch", selector::ExposureCompensationSwitch, 1, GetSet, K::ReversedSwitch, 0, 1, 1, 9,
     "pushButton_ExposureCompensationSwitch", 0},
    {"exposure-compensation", selector::ExposureCompensationValue, 1, GetSet, K::Signed, -7, 7, 0, 8,
     "horizontalSlider_CompValue", 0},
    {"drc", selector::Drc, 1, GetSet, K::Unsigned, 0, 8, 2, 5, "horizontalSlider_DRC", 0},
    {"image-style", selector::ImageStyle, 1, GetSet, K::Preset, 0, 6, 0, 2, nullptr, 0},
    {"blue-gain", selector::BlueGain, 1, GetSet, K::Signed, -10, 10, 0, 7, "horizontalSlider_BlueGain",
     f::NoNegativeUnderAutoWhiteBalance},
    {"red-gain", selector::RedGain, 1, GetSet, K::Signed, -10, 10, 0, 6, "horizontalSlider_RedGain",
     f::NoNegativeUnderAutoWhiteBalance},
    {"h264", selector::H264Switch, 1, GetSet, K::Switch, 0, 1, 1, 10, "pushButton_H264Switch", f::RebootsCamera},
    {"restore-default", selector::RestoreDefault, 1, access::Set, K::Command, 1, 1, 0, 0, "pushButton_RestoreDefault",
     0},
    {"flip-v", selector::FlipV, 1, GetSet, K::Switch, 0, 1, 0, 13, "pushButton_FlipV", 0},
    {"flip-h", selector::FlipH, 1, GetSet, K::Switch, 0, 1, 0, 12, "pushButton_FlipH", 0},
    {"audio", selector::AudioSwitch, 1, GetSet, K::Switch, 0, 1, 0, 11, "pushButton_AudioSwitch", f::RebootsCamera},
}};

const VendorControl *findControl(int sel)
{
    for (const VendorControl &c : kVendorControls)
        if (c.selector == sel)
            return &c;
    return nullptr;
}

const VendorControl *findControlByName(const std::string &name)
{
    for (const VendorControl &c : kVendorControls)
        if (name == c.name)
            return &c;
    return nullptr;
}

const VendorControl *findControlByWidget(const std::string &objectName)
{
    for (const VendorControl &c : kVendorControls)
        if (c.widget && objectName == c.widget)
            return &c;
    return nullptr;
}

const std::vector<const VendorControl *> &readPass()
{
    static const std::vector<const VendorControl *> pass = [] {
        std::vector<const VendorControl *> rows;
        for (const VendorControl &c : kVendorControls)
            if (c.readOrder > 0)
                rows.push_back(&c);
        std::sort(rows.begin(), rows.end(),
                  [](const VendorControl *a, const VendorControl *b) { return a->readOrder < b->readOrder; });
        return rows;
    }();
    return pass;
}

const std::vector<const VendorControl *> &settingControls()
{
    static const std::vector<const VendorControl *> settings = [] {
        std::vector<const VendorControl *> rows;
        for (const VendorControl *c : readPass())
            if (c->kind != ControlKind::Record)
                rows.push_back(c);
        return rows;
    }();
    return settings;
}

}  // namespace vidorra
