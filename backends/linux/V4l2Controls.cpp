// The standard V4L2 controls of an opened node, for the "Properties" dialog.
#include "V4l2CaptureHandle.h"

#include "LinuxStatus.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <limits>

namespace vidorra::v4l {
namespace {

// More than any camera offers; bounds a driver that never ends the list.
constexpr std::size_t kMaxControls = 1024;

std::int32_t clamp32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

template <std::size_t N>
std::string boundedText(const char (&text)[N])
{
    std::size_t n = 0;
    while (n < N && text[n] != '\0')
        ++n;
    return std::string(text, n);
}
template <std::size_t N>
std::string boundedText(const std::uint8_t (&text)[N])
{
    std::size_t n = 0;
    while (n < N && text[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char *>(text), n);
}

bool controlType(std::uint32_t v4l2Type, ControlInfo::Type *type)
{
    switch (v4l2Type) {
    case V4L2_CTRL_TYPE_INTEGER:
        *type = ControlInfo::Type::Integer;
        return true;
    case V4L2_CTRL_TYPE_BOOLEAN:
        *type = ControlInfo::Type::Boolean;
        return true;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU:
        *type = ControlInfo::Type::Menu;
        return true;
    case V4L2_CTRL_TYPE_BUTTON:
        *type = ControlInfo::Type::Button;
        return true;
    default:
        return false;  // 64-bit, string, bitmask and compound controls are not shown
    }
}

std::uint32_t controlFlags(std::uint32_t v4l2Flags)
{
    std::uint32_t flags = 0;
    if (v4l2Flags & V4L2_CTRL_FLAG_INACTIVE)
        flags |= ControlInfo::Inactive;
    if (v4l2Flags & V4L2_CTRL_FLAG_READ_ONLY)
        flags |= ControlInfo::ReadOnly;
    if (v4l2Flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_GRABBED))
        flags |= ControlInfo::Disabled;
    return flags;
}

}  // namespace

Status V4l2CaptureHandle::listControls(std::vector<ControlInfo> *controls)
{
    controls->clear();
    if (gone)
        return vidorra::status::NoSuchDevice;
    std::uint32_t id = 0;
    while (controls->size() < kMaxControls) {
        v4l2_query_ext_ctrl q{};
        q.id = id | V4L2_CTRL_FLAG_NEXT_CTRL;
        const Status r = ask(VIDIOC_QUERY_EXT_CTRL, &q);
        if (r == vidorra::status::InvalidArgument)
            break;  // the end of the list
        if (!succeeded(r))
            return r;
        if ((q.id & ~V4L2_CTRL_FLAG_NEXT_CTRL) <= id)
            break;  // a driver that does not move on
        id = q.id & ~V4L2_CTRL_FLAG_NEXT_CTRL;

        ControlInfo info;
        const auto controlClass = V4L2_CTRL_ID2CLASS(id);
        if (controlClass == V4L2_CTRL_CLASS_USER)
            info.page = ControlInfo::Page::VideoProcAmp;
        else if (controlClass == V4L2_CTRL_CLASS_CAMERA)
            info.page = ControlInfo::Page::CameraControl;
        else
            continue;
        if (!controlType(q.type, &info.type))
            continue;
        info.id = id;
        info.name = boundedText(q.name);
        info.minimum = clamp32(q.minimum);
        info.maximum = clamp32(q.maximum);
        info.step = q.step > 0 ? static_cast<std::int32_t>(std::min<std::uint64_t>(q.step, 0x7FFFFFFF)) : 1;
        info.defaultValue = clamp32(q.default_value);
        info.flags = controlFlags(q.flags);
        if (info.type == ControlInfo::Type::Menu && q.minimum >= 0 && q.maximum >= q.minimum
            && q.maximum - q.minimum < 256) {
            for (std::int64_t index = q.minimum; index <= q.maximum; ++index) {
                v4l2_querymenu m{};
                m.id = id;
                m.index = static_cast<std::uint32_t>(index);
                const Status mr = ask(VIDIOC_QUERYMENU, &m);
                if (meansNotAnswering(mr))
                    return mr;
                if (!succeeded(mr))
                    continue;  // a gap in the menu
                // The structure is packed: copy its fields out before use.
                std::uint8_t name[sizeof m.name];
                std::memcpy(name, m.name, sizeof name);
                const std::int64_t number = m.value;
                const std::string label = q.type == V4L2_CTRL_TYPE_INTEGER_MENU
                                              ? std::to_string(static_cast<long long>(number))
                                              : boundedText(name);
                info.menuItems.emplace_back(static_cast<std::int32_t>(index), label);
            }
        }
        controls->push_back(std::move(info));
    }
    return vidorra::status::Ok;
}

Status V4l2CaptureHandle::getControl(std::uint32_t id, std::int32_t *value)
{
    return readControl(id, value);
}

Status V4l2CaptureHandle::setControl(std::uint32_t id, std::int32_t value)
{
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return ask(VIDIOC_S_CTRL, &c);
}

}  // namespace vidorra::v4l
