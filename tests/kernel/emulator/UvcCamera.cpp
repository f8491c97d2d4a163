#include "UvcCamera.h"

#include "UvcNames.h"

#include <cstdio>
#include <cstring>

namespace emu {

namespace {

using uvc::kGetCur;
using uvc::kGetDef;
using uvc::kGetInfo;
using uvc::kGetLen;
using uvc::kGetMax;
using uvc::kGetMin;
using uvc::kGetRes;
using uvc::kSetCur;

// Request error codes the camera reports after a stall.
constexpr std::uint8_t kNoError = 0;
constexpr std::uint8_t kNotReady = 1;
constexpr std::uint8_t kWrongState = 2;
constexpr std::uint8_t kOutOfRange = 4;
constexpr std::uint8_t kInvalidUnit = 5;
constexpr std::uint8_t kInvalidControl = 6;
constexpr std::uint8_t kInvalidRequest = 7;

// Processing-unit selectors.
constexpr int kBrightness = 0x02;
constexpr int kWhiteBalanceTemperature = 0x0A;
constexpr int kWhiteBalanceAuto = 0x0B;

constexpr int kDeviceInfo = 9;
// Diagnostic control: a Set stalls with the sent byte as request error code,
// a Get stalls with "not ready", so that the driver's translation of every
// code can be seen.
constexpr int kErrorEcho = 21;
constexpr int kRestoreDefault = 23;
constexpr std::size_t kRecordLength = 24;
const char kRecord[] = "SOC:V9 SIM-1.1";

constexpr std::size_t kProbeLength = 34;  // UVC 1.1 streaming control

Bytes le16(int v) { return {std::uint8_t(v), std::uint8_t(v >> 8)}; }

ControlResult ok(Bytes data = {}) { return {false, std::move(data)}; }

ControlResult stall(std::uint8_t code, std::uint8_t *error)
{
    *error = code;
    return {true, {}};
}

void put32(Bytes &p, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[at + i] = std::uint8_t(v >> (8 * i));
}

// The camera's answer to a probe: the host chooses format, frame and
// interval; with one of each, the camera can only confirm them, and it fills
// in the fields that are its own to set.
Bytes negotiated(Bytes p)
{
    p[2] = kFormatIndex;
    p[3] = kFrameIndex;
    put32(p, 4, kFrameInterval);
    put32(p, 18, kMaxFrameSize);
    put32(p, 22, kMaxPayloadTransferSize);
    put32(p, 26, kClockFrequency);
    p[30] = 3;  // bmFramingInfo: FID and EOF in every payload header
    p[31] = 1;  // bPreferedVersion
    p[32] = 1;  // bMinVersion
    p[33] = 1;  // bMaxVersion
    return p;
}

Bytes defaultProbe() { return negotiated(Bytes(kProbeLength, 0)); }

// What restore default returns to (the simulated camera's defaults).
std::map<int, std::uint8_t> defaultValues()
{
    return {{13, 0}, {6, 3}, {7, 4}, {12, 2}, {15, 0}, {14, 0}, {11, 0},
            {10, 1}, {18, 1}, {26, 0}, {25, 0}, {24, 0}};
}

}  // namespace

UvcCamera::UvcCamera(const CameraOptions &options, Logger log)
    : options_(options), log_(std::move(log)), probe_(defaultProbe()), commit_(defaultProbe())
{
    //                 info  min   max  signed
    xu_[6] = {0x03, 0, 6, false};      // NR2D
    xu_[7] = {0x03, 0, 8, false};      // NR3D
    xu_[9] = {0x01, 0, 0, false};      // device information, Get only
    xu_[10] = {0x03, 0, 1, false};     // exposure-compensation switch
    xu_[11] = {0x03, -7, 7, true};     // exposure-compensation value
    xu_[12] = {0x03, 0, 8, false};     // DRC
    xu_[13] = {0x03, 0, 6, false};     // image style
    xu_[14] = {0x03, -10, 10, true};   // blue gain
    xu_[15] = {0x03, -10, 10, true};   // red gain
    xu_[18] = {0x03, 0, 1, false};     // H.264 switch
    xu_[23] = {0x02, 1, 1, false};     // restore default, Set only
    xu_[24] = {0x03, 0, 1, false};     // flip V
    xu_[25] = {0x03, 0, 1, false};     // flip H
    xu_[26] = {0x03, 0, 1, false};     // audio switch
    xu_[kErrorEcho] = {0x03, 0, 255, false};
    for (const auto &entry : xu_)
        if (entry.first != options_.omittedSelector)
            selectors_.push_back(entry.first);
    if (options_.refusedSelector > 0)
        selectors_.push_back(options_.refusedSelector);
    powerUp();
}

void UvcCamera::powerUp()
{
    restoreDefaults();
    for (const auto &entry : options_.values)
        values_[entry.first] = entry.second;
}

void UvcCamera::restoreDefaults() { values_ = defaultValues(); }

void UvcCamera::switchWhiteBalanceToManual()
{
    whiteBalanceAuto_ = false;
    log_("EMU event=white-balance-manual");
}

ControlResult UvcCamera::handle(const SetupPacket &setup, const Bytes &out)
{
    if ((setup.requestType & 0x60) == 0x20)
        return classRequest(setup, out);
    if ((setup.requestType & 0x60) == 0x00)
        return standardRequest(setup);
    char line[160];
    std::snprintf(line, sizeof line, "EMU std type=0x%02x req=0x%02x result=stall", setup.requestType,
                  setup.request);
    log_(line);
    return {true, {}};
}

ControlResult UvcCamera::standardRequest(const SetupPacket &s)
{
    ControlResult r;
    // uvcvideo stops a bulk stream with CLEAR_FEATURE(ENDPOINT_HALT) on its
    // endpoint; SET_INTERFACE of the streaming interface resets it too.
    if ((s.request == 0x01 && s.requestType == 0x02 && s.value == 0 && s.index == kStreamingEndpoint) ||
        (s.request == 0x0B && s.requestType == 0x01 && s.index == kStreamingInterface))
        r.stream = StreamEvent::Stop;
    switch (s.request) {
    case 0x06: {  // GET_DESCRIPTOR
        const int type = s.value >> 8;
        if (type == 1)
            r.data = deviceDescriptor();
        else if (type == 2)
            r.data = configurationDescriptor(selectors_);
        else if (type == 3)
            r.data = stringDescriptor(s.value & 0xFF, options_.serial);
        r.stall = r.data.empty();
        break;
    }
    case 0x00:  // GET_STATUS
        r.data = {0, 0};
        break;
    case 0x08:  // GET_CONFIGURATION
        r.data = {1};
        break;
    case 0x0A:  // GET_INTERFACE
        r.data = {0};
        break;
    case 0x01:  // CLEAR_FEATURE
    case 0x03:  // SET_FEATURE
    case 0x05:  // SET_ADDRESS
    case 0x09:  // SET_CONFIGURATION
    case 0x0B:  // SET_INTERFACE
        break;
    default:
        r.stall = true;
    }
    if (r.data.size() > s.length)
        r.data.resize(s.length);
    logRequest(s, {}, r.stall ? "stall" : "ok", 0);
    return r;
}

ControlResult UvcCamera::classRequest(const SetupPacket &s, const Bytes &out)
{
    const int interface = s.index & 0xFF;
    const int unit = s.index >> 8;
    const int sel = s.value >> 8;
    const bool in = (s.requestType & 0x80) != 0;
    std::uint8_t error = kNoError;
    ControlResult r;

    if ((s.requestType & 0x1F) != 0x01 || (in == (s.request == kSetCur)))
        r = stall(kInvalidRequest, &error);
    else if (interface == kControlInterface)
        r = controlInterfaceRequest(s.request, unit, sel, out, &error);
    else if (interface == kStreamingInterface && unit == 0)
        r = streamingRequest(s.request, sel, out, &error);
    else
        r = stall(kInvalidUnit, &error);

    if (!r.stall && in && r.data.size() != s.length) {
        // uvcvideo always asks for the control's exact size.
        r = stall(kInvalidRequest, &error);
    }
    const bool errorQuery = interface == kControlInterface && unit == 0 && sel == 2;
    if (!errorQuery)
        requestError_ = error;

    logRequest(s, in ? r.data : out, r.stall ? "stall" : "ok", error);
    return r;
}

ControlResult UvcCamera::controlInterfaceRequest(std::uint8_t q, int unit, int sel, const Bytes &out,
                                                 std::uint8_t *error)
{
    if (unit == 0) {
        if (sel != 2)  // only the request-error-code control
            return stall(kInvalidControl, error);
        if (q == kGetCur)
            return ok({requestError_});
        if (q == kGetInfo)
            return ok({0x01});
        return stall(kInvalidRequest, error);
    }
    if (unit == kProcessingUnitId)
        return processingUnitRequest(q, sel, out, error);
    if (unit == kExtensionUnitId)
        return extensionUnitRequest(q, sel, out, error);
    if (unit == kCameraTerminalId || unit == kOutputTerminalId)
        return stall(kInvalidControl, error);
    return stall(kInvalidUnit, error);
}

ControlResult UvcCamera::processingUnitRequest(std::uint8_t q, int sel, const Bytes &out,
                                               std::uint8_t *error)
{
    struct Range {
        int size, minimum, maximum, resolution, def, info;
    };
    Range range;
    int current;
    if (sel == kBrightness) {
        range = {2, 0, 255, 1, 128, 0x03};
        current = brightness_;
    } else if (sel == kWhiteBalanceTemperature) {
        // The camera sets the temperature itself while automatic, and says so.
        range = {2, 2800, 6500, 10, 4600, 0x0B};
        current = whiteBalanceTemperature_;
    } else if (sel == kWhiteBalanceAuto) {
        range = {1, 0, 1, 1, 1, options_.whiteBalanceAutoInfo};
        current = whiteBalanceAuto_ ? 1 : 0;
    } else {
        return stall(kInvalidControl, error);
    }
    auto encode = [&range](int v) { return range.size == 1 ? Bytes{std::uint8_t(v)} : le16(v); };

    switch (q) {
    case kGetInfo: return ok({std::uint8_t(range.info)});
    case kGetLen: return ok(le16(range.size));
    case kGetCur: return ok(encode(current));
    case kGetMin: return ok(encode(range.minimum));
    case kGetMax: return ok(encode(range.maximum));
    case kGetRes: return ok(encode(range.resolution));
    case kGetDef: return ok(encode(range.def));
    case kSetCur: break;
    default: return stall(kInvalidRequest, error);
    }
    if (int(out.size()) != range.size)
        return stall(kInvalidRequest, error);
    const int value = range.size == 1 ? out[0] : out[0] | (out[1] << 8);
    if (value < range.minimum || value > range.maximum)
        return stall(kOutOfRange, error);
    if (sel == kBrightness) {
        brightness_ = std::uint16_t(value);
    } else if (sel == kWhiteBalanceTemperature) {
        if (whiteBalanceAuto_)
            return stall(kWrongState, error);
        whiteBalanceTemperature_ = std::uint16_t(value);
    } else {
        whiteBalanceAuto_ = value == 1;
    }
    return ok();
}

ControlResult UvcCamera::extensionUnitRequest(std::uint8_t q, int sel, const Bytes &out,
                                              std::uint8_t *error)
{
    auto it = xu_.find(sel);
    if (it == xu_.end() || sel == options_.omittedSelector)
        return stall(kInvalidControl, error);
    const XuControl &c = it->second;
    const std::size_t size = sel == kDeviceInfo ? kRecordLength : 1;
    auto byteOf = [](int v) { return std::uint8_t(v & 0xFF); };

    switch (q) {
    case kGetInfo: return ok({c.info});
    case kGetLen: return ok(le16(int(size)));
    case kGetMin:
    case kGetMax:
    case kGetRes:
    case kGetDef:
        if (sel == kDeviceInfo) {
            Bytes b(kRecordLength, 0);
            if (q == kGetDef)
                std::memcpy(b.data(), kRecord, sizeof kRecord - 1);
            return ok(b);
        }
        if (q == kGetMin) return ok({byteOf(c.minimum)});
        if (q == kGetMax) return ok({byteOf(c.maximum)});
        if (q == kGetRes) return ok({1});
        if (sel == kRestoreDefault) return ok({1});
        if (sel == kErrorEcho) return ok({0});
        return ok({defaultValues().at(sel)});
    case kGetCur:
        if (!(c.info & 0x01))
            return stall(kInvalidRequest, error);
        if (sel == kErrorEcho)
            return stall(kNotReady, error);
        if (sel == kDeviceInfo) {
            Bytes b(kRecordLength, 0);
            std::memcpy(b.data(), kRecord, sizeof kRecord - 1);
            return ok(b);
        }
        return ok({values_.at(sel)});
    case kSetCur: break;
    default: return stall(kInvalidRequest, error);
    }
    if (!(c.info & 0x02))
        return stall(kInvalidRequest, error);
    if (out.size() != size)
        return stall(kInvalidRequest, error);
    if (sel == kErrorEcho)
        return stall(out[0], error);
    const int value = c.isSigned ? int(std::int8_t(out[0])) : int(out[0]);
    if (value < c.minimum || value > c.maximum)
        return stall(kOutOfRange, error);
    if (sel == kRestoreDefault)
        restoreDefaults();
    else
        values_[sel] = out[0];
    return ok();
}

ControlResult UvcCamera::streamingRequest(std::uint8_t q, int sel, const Bytes &out, std::uint8_t *error)
{
    if (sel != 1 && sel != 2)  // probe and commit only
        return stall(kInvalidControl, error);
    Bytes &state = sel == 1 ? probe_ : commit_;
    switch (q) {
    case kGetInfo: return ok({0x03});
    case kGetLen: return ok(le16(int(kProbeLength)));
    case kGetCur: return ok(state);
    case kGetMin:
    case kGetMax:
    case kGetDef: return ok(defaultProbe());
    case kSetCur: {
        if (out.size() != kProbeLength)
            return stall(kInvalidRequest, error);
        if (sel == 2 && (out[2] != kFormatIndex || out[3] != kFrameIndex))
            return stall(kOutOfRange, error);
        state = negotiated(out);
        ControlResult r = ok();
        if (sel == 2)
            r.stream = StreamEvent::Commit;
        return r;
    }
    default: return stall(kInvalidRequest, error);
    }
}

void UvcCamera::logUnanswered(const SetupPacket &s, const Bytes &out) { logRequest(s, out, "silent", 0); }

void UvcCamera::logRequest(const SetupPacket &s, const Bytes &data, const char *result, std::uint8_t error)
{
    char line[256];
    if ((s.requestType & 0x60) == 0x20)
        std::snprintf(line, sizeof line, "EMU req=%s if=%d unit=%d sel=%d len=%u data=%s result=%s error=%u",
                      uvc::queryName(s.request), s.index & 0xFF, s.index >> 8, s.value >> 8, s.length,
                      uvc::hex(data).c_str(), result, error);
    else
        std::snprintf(line, sizeof line, "EMU std type=0x%02x req=0x%02x value=0x%04x index=%u len=%u result=%s",
                      s.requestType, s.request, s.value, s.index, s.length, result);
    log_(line);
}

}  // namespace emu
