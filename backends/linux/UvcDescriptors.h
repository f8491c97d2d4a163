// The USB video-class topology of one video function, read from a USB
// device's raw configuration descriptors (the sysfs "descriptors" file).
// A pure function: bytes in, entities out. It never reads past the buffer.
#pragma once

#include "CapturePort.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vidorra::v4l {

struct UvcEntity {
    enum class Kind { InputTerminal, OutputTerminal, SelectorUnit, ProcessingUnit, ExtensionUnit, EncodingUnit };
    Kind kind = Kind::InputTerminal;
    std::uint8_t id = 0;
    std::uint16_t terminalType = 0;        // terminals only
    Guid guid{};                           // extension units only
    std::uint8_t numControls = 0;          // extension units only (bNumControls)
    std::vector<std::uint8_t> bmControls;  // camera terminal, processing and extension units

    // Whether control `selector` (1-based) has its bit in bmControls.
    bool hasControl(std::uint32_t selector) const;
};

struct UvcTopology {
    bool interfaceFound = false;  // the video-control interface was present
    std::vector<UvcEntity> entities;

    const UvcEntity *entity(std::uint8_t id) const;
};

// The entities of the video-control interface (class 0x0E, subclass 0x01)
// numbered `interfaceNumber`, in the configuration whose bConfigurationValue
// is `configurationValue` (0: the first configuration that has it). The
// walk follows bLength and stops at a bLength below 2 or one that runs past
// the end; a unit shorter than its own counts claim is left out, and so is a
// later unit that repeats an ID.
UvcTopology parseVideoControl(const std::uint8_t *data, std::size_t size, int interfaceNumber,
                              int configurationValue = 0);

}  // namespace vidorra::v4l
