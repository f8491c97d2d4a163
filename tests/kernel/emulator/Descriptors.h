// USB descriptors of the emulated camera: a UVC 1.1 function with a camera
// terminal (1), a processing unit (2), the vendor extension unit (6) and an
// output terminal (3), and one MJPEG streaming format.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emu {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kCameraTerminalId = 1;
constexpr std::uint8_t kProcessingUnitId = 2;
constexpr std::uint8_t kOutputTerminalId = 3;
constexpr std::uint8_t kExtensionUnitId = 6;  // deliberately not the next free id
constexpr std::uint8_t kControlInterface = 0;
constexpr std::uint8_t kStreamingInterface = 1;

// The one MJPEG frame of the streaming interface and its bulk endpoint.
constexpr std::uint8_t kFormatIndex = 1;
constexpr std::uint8_t kFrameIndex = 1;
constexpr std::uint16_t kWidth = 640;
constexpr std::uint16_t kHeight = 480;
constexpr std::uint32_t kFrameInterval = 333333;  // 30 fps in 100 ns units
constexpr std::uint32_t kMaxFrameSize = kWidth * kHeight * 2;
constexpr std::uint32_t kMaxPayloadTransferSize = 512 * 16;
constexpr std::uint32_t kClockFrequency = 48000000;
constexpr std::uint8_t kStreamingEndpoint = 0x81;

// Vendor extension unit {A7A6A934-3A4A-4351-85F4-042EF2CDCAAB}, little-endian layout.
extern const std::uint8_t kExtensionUnitGuid[16];

Bytes deviceDescriptor();
// bmControls bit (selector - 1) is set for every selector in `selectors`.
Bytes configurationDescriptor(const std::vector<int> &selectors);
// String descriptor `index`; empty when the device has no such string (the
// serial number, 3, when `serial` is empty).
Bytes stringDescriptor(int index, const std::string &serial);

}  // namespace emu
