// Control selectors of the vendor extension unit. Every value is one byte;
// the device-information record is up to 24 bytes of text.
#pragma once

namespace vidorra::selector {
constexpr int Nr2d = 6;
constexpr int Nr3d = 7;
constexpr int DeviceInfo = 9;                  // Get only
constexpr int ExposureCompensationSwitch = 10; // 0 = on, 1 = off
constexpr int ExposureCompensationValue = 11;  // signed
constexpr int Drc = 12;
constexpr int ImageStyle = 13;                 // preset 0 to 6
constexpr int BlueGain = 14;                   // signed
constexpr int RedGain = 15;                    // signed
constexpr int H264Switch = 18;                 // 1 = on
constexpr int RestoreDefault = 23;             // Set only, always 1
constexpr int FlipV = 24;
constexpr int FlipH = 25;
constexpr int AudioSwitch = 26;

constexpr int DeviceInfoLength = 24;
}  // namespace vidorra::selector
