// Video-class request names and the hex dump of request data, shared by the
// camera emulator and uvc-diag so that both print a request the same way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace uvc {

constexpr std::uint8_t kSetCur = 0x01;
constexpr std::uint8_t kGetCur = 0x81;
constexpr std::uint8_t kGetMin = 0x82;
constexpr std::uint8_t kGetMax = 0x83;
constexpr std::uint8_t kGetRes = 0x84;
constexpr std::uint8_t kGetLen = 0x85;
constexpr std::uint8_t kGetInfo = 0x86;
constexpr std::uint8_t kGetDef = 0x87;

struct Query {
    const char *name;
    std::uint8_t code;
};
inline constexpr Query kQueries[] = {{"SET_CUR", kSetCur}, {"GET_CUR", kGetCur}, {"GET_MIN", kGetMin},
                                     {"GET_MAX", kGetMax}, {"GET_RES", kGetRes}, {"GET_LEN", kGetLen},
                                     {"GET_INFO", kGetInfo}, {"GET_DEF", kGetDef}};

inline const char *queryName(std::uint8_t code)
{
    for (const Query &q : kQueries)
        if (q.code == code)
            return q.name;
    return "UNKNOWN";
}

// nullptr for a name that is no request.
inline const Query *queryByName(const std::string &name)
{
    for (const Query &q : kQueries)
        if (name == q.name)
            return &q;
    return nullptr;
}

// Two lower-case digits a byte, "-" for none.
inline std::string hex(const std::vector<std::uint8_t> &b)
{
    std::string s;
    char buf[4];
    for (std::uint8_t v : b) {
        std::snprintf(buf, sizeof buf, "%02x", v);
        s += buf;
    }
    return s.empty() ? "-" : s;
}

}  // namespace uvc
