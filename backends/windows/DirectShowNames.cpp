#include "DirectShowNames.h"

namespace vidorra::directshow {

namespace {

void appendUtf8(std::string *out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(const std::string &a, std::size_t aFrom, const std::string &b)
{
    if (a.size() - aFrom != b.size())
        return false;
    for (std::size_t i = 0; i < b.size(); ++i)
        if (asciiLower(a[aFrom + i]) != asciiLower(b[i]))
            return false;
    return true;
}

}  // namespace

std::string utf16ToUtf8(const char16_t *text, std::size_t length)
{
    std::string out;
    if (!text)
        return out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t u = text[i];
        if (isHighSurrogate(u) && i + 1 < length && isLowSurrogate(text[i + 1])) {
            const char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                               (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            appendUtf8(&out, c);
            ++i;
        } else if (isHighSurrogate(u) || isLowSurrogate(u)) {
            appendUtf8(&out, 0xFFFD);
        } else {
            appendUtf8(&out, u);
        }
    }
    return out;
}

bool devicePathMatchesDeviceName(const std::string &path, const std::string &deviceName)
{
    if (path.empty())
        return false;
    static const std::string prefix = "@device:pnp:";
    std::size_t from = 0;
    if (deviceName.size() >= prefix.size() && equalIgnoringAsciiCase(deviceName.substr(0, prefix.size()), 0, prefix))
        from = prefix.size();
    return equalIgnoringAsciiCase(deviceName, from, path);
}

}  // namespace vidorra::directshow
