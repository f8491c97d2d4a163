#include "Switches.h"

#include "Files.h"

#include <mutex>
#include <sstream>

namespace vcam {

namespace {

std::wstring widen(const std::string &text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

unsigned long number(const std::string &word) { return std::stoul(word, nullptr, 0); }

}  // namespace

Switches parseSwitches(const std::string &text)
{
    Switches s;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string key;
        if (!(words >> key))
            continue;
        std::string a;
        std::string b;
        try {
            if (key == "present") {
                s.present.clear();
                while (words >> a)
                    s.present.push_back(a);
            } else if (key == "name" && words >> a) {
                std::getline(words >> std::ws, b);
                while (!b.empty() && (b.back() == '\r' || b.back() == ' '))
                    b.pop_back();
                s.names[a] = widen(b);
            } else if (key == "refuse-set" && words >> a) {
                s.refuseSetSelector = static_cast<int>(number(a));
                if (words >> b)
                    s.refuseSetStatus = static_cast<HRESULT>(number(b));
            } else if (key == "wrong-length" && words >> a) {
                s.wrongLength = static_cast<unsigned>(number(a));
            } else if (key == "slow-ms" && words >> a) {
                s.slowMs = static_cast<DWORD>(number(a));
                if (words >> b)
                    s.slowStatus = static_cast<HRESULT>(number(b));
            } else if (key == "gone-status" && words >> a) {
                s.goneStatus = static_cast<HRESULT>(number(a));
            } else if (key == "vanish-after" && words >> a) {
                s.vanishAfter = static_cast<unsigned>(number(a));
            } else if (key == "reboot-ms" && words >> a) {
                s.rebootMs = static_cast<DWORD>(number(a));
            } else if (key == "lost-power" && words >> a) {
                s.powerLoss = static_cast<unsigned>(number(a));
                while (words >> b)
                    s.powerLossCameras.push_back(b);
            }
        } catch (const std::exception &) {
            // A word that is no number leaves that switch as it was.
        }
    }
    return s;
}

Switches currentSwitches(unsigned long long *generation)
{
    static std::mutex lock;
    static Switches cached;
    static unsigned long long stamp = ~0ull;
    static unsigned long long changes = 0;
    const std::lock_guard<std::mutex> hold(lock);
    const std::wstring path = pathFromEnvironment(L"VIDORRA_VCAM_CONTROL");
    const unsigned long long now = path.empty() ? 0 : fileStamp(path);
    if (now != stamp) {
        std::string text;
        if (!path.empty())
            readFile(path, &text);
        cached = parseSwitches(text);
        stamp = now;
        ++changes;
    }
    if (generation)
        *generation = changes;
    return cached;
}

}  // namespace vcam
