#include "CameraIdentity.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace vidorra {
namespace {

constexpr std::size_t kMaxEscapedSerial = 64;
constexpr std::size_t kKeptOfLongSerial = 40;
constexpr std::size_t kMaxPortPath = 32;

// ASCII only, whatever the locale.
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool keptAsIs(char c) { return isLetter(c) || isDigit(c) || c == '.' || c == '_' || c == '-'; }

std::string hex4(std::uint16_t v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(v));
    return text;
}

std::uint64_t fnv1a(const std::string &text)
{
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// Escaped pieces, so that a long serial is never cut inside a %XX.
std::vector<std::string> escapedPieces(const std::string &serial)
{
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < serial.size(); ++i) {
        const char c = serial[i];
        // A serial must never read as the port form of another camera.
        const bool looksLikePort = i == 0 && serial.compare(0, 4, "port") == 0;
        if (keptAsIs(c) && !looksLikePort) {
            pieces.emplace_back(1, c);
        } else {
            char text[4];
            std::snprintf(text, sizeof text, "%%%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            pieces.emplace_back(text);
        }
    }
    return pieces;
}

std::string escapeSerial(const std::string &serial)
{
    const std::vector<std::string> pieces = escapedPieces(serial);
    std::string escaped;
    for (const std::string &p : pieces)
        escaped += p;
    if (escaped.size() <= kMaxEscapedSerial)
        return escaped;
    std::string kept;
    for (const std::string &p : pieces) {
        if (kept.size() + p.size() > kKeptOfLongSerial)
            break;
        kept += p;
    }
    char hash[24];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(fnv1a(serial)));
    return kept + hash;
}

bool isBlank(const std::string &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool isPortPath(const std::string &text)
{
    if (text.empty() || text.size() > kMaxPortPath || !isDigit(text[0]))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '-' || c == '.'; });
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

}  // namespace

std::string cameraIdentity(std::uint16_t vendor, std::uint16_t product, const std::string &serial,
                           const std::string &portPath)
{
    const std::string ids = hex4(vendor) + "-" + hex4(product) + "-";
    if (!serial.empty() && !isBlank(serial))
        return ids + escapeSerial(serial);
    if (isPortPath(portPath))
        return ids + "port" + portPath;
    return {};
}

std::string identityFromDevicePath(const std::string &devicePath)
{
    std::string path = lower(devicePath);
    const std::string prefix = "@device:pnp:";
    if (path.compare(0, prefix.size(), prefix) == 0)
        path.erase(0, prefix.size());
    const std::string root = "\\\\?\\usb#";
    if (path.compare(0, root.size(), root) != 0)
        return {};
    // usb#vid_f0f2&pid_2247&mi_00#<instance>#{class}\global
    const std::size_t idsEnd = path.find('#', root.size());
    if (idsEnd == std::string::npos)
        return {};
    const std::size_t instanceEnd = path.find('#', idsEnd + 1);
    const std::string ids = path.substr(root.size(), idsEnd - root.size());
    const std::string instance =
        path.substr(idsEnd + 1, instanceEnd == std::string::npos ? std::string::npos : instanceEnd - idsEnd - 1);
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    if (ids.compare(0, 4, "vid_") != 0 || !parseUsbId(ids.substr(4, 4), &vendor)
        || ids.compare(8, 5, "&pid_") != 0 || !parseUsbId(ids.substr(13, 4), &product)
        || (ids.size() > 17 && ids[17] != '&') || instance.empty())
        return {};
    return hex4(vendor) + "-" + hex4(product) + "-" + escapeSerial(instance);
}

bool isCameraIdentity(const std::string &text)
{
    std::uint16_t id = 0;
    if (text.size() <= 10 || text.size() > kMaxIdentityLength || !parseUsbId(text.substr(0, 4), &id)
        || text[4] != '-' || !parseUsbId(text.substr(5, 4), &id) || text[9] != '-')
        return false;
    return std::all_of(text.begin() + 10, text.end(), [](char c) {
        return keptAsIs(c) || c == '%' || c == '~';
    });
}

bool parseUsbId(const std::string &text, std::uint16_t *id)
{
    if (text.size() != 4 || !std::all_of(text.begin(), text.end(), isHexDigit))
        return false;
    *id = static_cast<std::uint16_t>(std::stoul(text, nullptr, 16));
    return true;
}

}  // namespace vidorra
