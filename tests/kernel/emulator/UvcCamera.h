// The camera behind the descriptors: answers the control endpoint's
// standard and video-class requests and keeps the state of every control.
#pragma once

#include "Descriptors.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace emu {

struct SetupPacket {
    std::uint8_t requestType;
    std::uint8_t request;
    std::uint16_t value;
    std::uint16_t index;
    std::uint16_t length;
};

// What a request means for the video stream.
enum class StreamEvent { None, Commit, Stop };

struct ControlResult {
    bool stall = false;
    Bytes data;  // IN data; for OUT requests, empty
    StreamEvent stream = StreamEvent::None;
};

struct CameraOptions {
    int omittedSelector = 0;   // leave this selector out of bmControls
    int refusedSelector = 20;  // declared in bmControls, refused by the camera
    // GET_INFO of the automatic white-balance control: Get, Set and
    // auto-update (the camera may change it by itself).
    std::uint8_t whiteBalanceAutoInfo = 0x0B;
    std::string serial = "EMU0001";        // string descriptor 3; empty: none
    std::map<int, std::uint8_t> values;    // vendor values it starts with, over the defaults
};

class UvcCamera {
public:
    using Logger = std::function<void(const std::string &)>;

    UvcCamera(const CameraOptions &options, Logger log);

    // One request of endpoint 0; `out` holds the data stage of an OUT request.
    ControlResult handle(const SetupPacket &setup, const Bytes &out);

    // A request the camera leaves unanswered: logged like an answered one.
    void logUnanswered(const SetupPacket &setup, const Bytes &out);

    // The user switches white balance to manual at the camera.
    void switchWhiteBalanceToManual();

    // Power comes (back, after a suspend cut the port's power while the node
    // stayed): the vendor controls hold their start values.
    void powerUp();

private:
    struct XuControl {
        std::uint8_t info;  // GET_INFO: bit 0 Get, bit 1 Set
        int minimum;        // accepted byte range, as a signed or unsigned value
        int maximum;
        bool isSigned;
    };

    ControlResult standardRequest(const SetupPacket &setup);
    ControlResult classRequest(const SetupPacket &setup, const Bytes &out);
    ControlResult controlInterfaceRequest(std::uint8_t query, int unit, int sel, const Bytes &out,
                                          std::uint8_t *error);
    ControlResult processingUnitRequest(std::uint8_t query, int sel, const Bytes &out,
                                        std::uint8_t *error);
    ControlResult extensionUnitRequest(std::uint8_t query, int sel, const Bytes &out,
                                       std::uint8_t *error);
    ControlResult streamingRequest(std::uint8_t query, int sel, const Bytes &out, std::uint8_t *error);
    void restoreDefaults();
    // The "EMU req=" line of a class request, the "EMU std" line of a standard
    // one: the same for answered and unanswered requests, which the checks count.
    void logRequest(const SetupPacket &setup, const Bytes &data, const char *result, std::uint8_t error);

    CameraOptions options_;
    Logger log_;
    std::vector<int> selectors_;  // as declared in bmControls
    std::map<int, XuControl> xu_;
    std::map<int, std::uint8_t> values_;
    std::uint8_t requestError_ = 0;
    bool whiteBalanceAuto_ = true;
    std::uint16_t whiteBalanceTemperature_ = 4600;
    std::uint16_t brightness_ = 128;
    Bytes probe_;
    Bytes commit_;
};

}  // namespace emu
