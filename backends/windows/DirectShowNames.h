// Text rules of the DirectShow backend that need no Windows header, so that
// they build and are tested on every platform.
#pragma once

#include <cstddef>
#include <string>

namespace vidorra::directshow {

// UTF-16 (what COM strings hold) to UTF-8. An unpaired surrogate becomes
// U+FFFD, so a broken name still compares unequal instead of colliding.
std::string utf16ToUtf8(const char16_t *text, std::size_t length);

// Qt's DirectShow camera plugin names a camera by its moniker's display name,
// "@device:pnp:" followed by the device interface path; the property bag's
// "DevicePath" is that same path. Windows treats these paths as
// case-insensitive, and the two sources do not always agree on case, so the
// path matches when it equals the display name without its prefix, ignoring
// ASCII case. A device name without the prefix is compared whole.
bool devicePathMatchesDeviceName(const std::string &path, const std::string &deviceName);

}  // namespace vidorra::directshow
