#include "Cameras.h"

#include "Files.h"
#include "VendorControls.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

namespace vcam {

namespace {

using vidorra::sim::SimCamera;

// Where the state lives when no file is named.
std::map<std::string, std::string> &memoryState()
{
    static std::map<std::string, std::string> lines;  // camera key: its line
    return lines;
}

// One line per camera: key, 32 control bytes, 24 record bytes, automatic
// white balance, temperature, boots, away-until, lost-power number.
std::string serialise(const std::string &key, const CameraState &s)
{
    std::string line = key;
    char hex[4];
    for (int i = 0; i < 32; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", s.camera->value(i));
        line += hex;
    }
    for (const std::uint8_t byte : s.camera->recordBytes()) {
        std::snprintf(hex, sizeof hex, " %02x", byte);
        line += hex;
    }
    line += " " + std::to_string(s.camera->whiteBalanceAuto ? 1 : 0) + " " +
            std::to_string(s.camera->whiteBalanceTemperature) + " " + std::to_string(s.boots) + " " +
            std::to_string(s.awayUntil) + " " + std::to_string(s.powerLoss);
    return line;
}

void deserialise(const std::string &line, CameraState *s)
{
    std::istringstream words(line);
    std::string key;
    words >> key;
    unsigned byte = 0;
    for (int i = 0; i < 32 && words >> std::hex >> byte; ++i)
        s->camera->setValue(i, static_cast<std::uint8_t>(byte));
    std::array<std::uint8_t, 24> record{};
    for (auto &r : record)
        if (words >> std::hex >> byte)
            r = static_cast<std::uint8_t>(byte);
    s->camera->setRecordBytes(record);
    int automatic = 1;
    if (words >> std::dec >> automatic >> s->camera->whiteBalanceTemperature >> s->boots >> s->awayUntil)
        s->camera->whiteBalanceAuto = automatic != 0;
    words >> s->powerLoss;
}

std::map<std::string, std::string> readStateLines(const std::wstring &path)
{
    if (path.empty())
        return memoryState();
    std::map<std::string, std::string> lines;
    std::string text;
    readFile(path, &text);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = line.substr(0, line.find(' '));
        if (!key.empty())
            lines[key] = line;
    }
    return lines;
}

void writeStateLines(const std::wstring &path, const std::map<std::string, std::string> &lines)
{
    if (path.empty()) {
        memoryState() = lines;
        return;
    }
    std::string text;
    for (const auto &entry : lines)
        text += entry.second + "\n";
    replaceFile(path, text);
}

std::string narrow(const std::wstring &wide)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

// Per process: the cameras vanish-after took away, and the calls counted,
// both since the control file last changed.
struct Vanishing {
    std::mutex lock;
    unsigned long long generation = 0;
    unsigned calls = 0;
    std::set<std::string> gone;

    void follow(unsigned long long now)
    {
        if (now != generation) {
            generation = now;
            calls = 0;
            gone.clear();
        }
    }
};

Vanishing &vanishing()
{
    static Vanishing v;
    return v;
}

}  // namespace

const std::vector<TestCamera> &testCameras()
{
    static const std::vector<TestCamera> cameras{
        {"usb1", L"Vidorra Virtual Camera",
         L"\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"},
        {"usb2", L"Vidorra Virtual Camera",
         L"\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&2b3c4d5e&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"},
        {"integrated", L"Sim Integrated Camera",
         L"\\\\?\\acpi#int3470#1#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global"},
    };
    return cameras;
}

const TestCamera *findCamera(const std::string &key)
{
    for (const TestCamera &unit : testCameras())
        if (key == unit.key)
            return &unit;
    return nullptr;
}

std::wstring friendlyName(const TestCamera &unit, const Switches &switches)
{
    const auto renamed = switches.names.find(unit.key);
    return renamed != switches.names.end() ? renamed->second : unit.friendlyName;
}

CameraLock::CameraLock(const TestCamera &cameraUnit, const Switches &switches)
    : unit(cameraUnit), mutex(CreateMutexW(nullptr, FALSE, L"Local\\vidorra-vcam-state"))
{
    if (mutex)
        WaitForSingleObject(mutex, INFINITE);
    loaded.camera = std::make_unique<SimCamera>(narrow(friendlyName(unit, switches)), narrow(unit.devicePath));
    const auto lines = readStateLines(pathFromEnvironment(L"VIDORRA_VCAM_STATE"));
    const auto found = lines.find(unit.key);
    if (found != lines.end())
        deserialise(found->second, &loaded);
    loaded.camera->faults.refuseSetSelector = switches.refuseSetSelector;
    loaded.camera->faults.refuseSetStatus = switches.refuseSetStatus;
    loaded.camera->faults.reportedLength = switches.wrongLength;
    const auto &named = switches.powerLossCameras;
    if (switches.powerLoss != loaded.powerLoss && std::find(named.begin(), named.end(), unit.key) != named.end()) {
        loaded.camera->losesSettingsInSuspend = true;
        loaded.camera->resumeFromSuspend();
        loaded.powerLoss = switches.powerLoss;
        save();
    }
}

CameraLock::~CameraLock()
{
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
}

void CameraLock::save()
{
    const std::wstring path = pathFromEnvironment(L"VIDORRA_VCAM_STATE");
    auto lines = readStateLines(path);
    lines[unit.key] = serialise(unit.key, loaded);
    writeStateLines(path, lines);
}

bool isAttached(const TestCamera &unit)
{
    unsigned long long generation = 0;
    const Switches switches = currentSwitches(&generation);
    bool listed = false;
    for (const std::string &key : switches.present)
        listed = listed || key == unit.key;
    if (!listed)
        return false;
    {
        Vanishing &v = vanishing();
        const std::lock_guard<std::mutex> hold(v.lock);
        v.follow(generation);
        if (v.gone.count(unit.key))
            return false;
    }
    CameraLock lock(unit, switches);
    return lock.state().awayUntil <= nowMs();
}

std::vector<const TestCamera *> attachedCameras()
{
    const Switches switches = currentSwitches();
    std::vector<const TestCamera *> list;
    for (const std::string &key : switches.present) {
        const TestCamera *unit = findCamera(key);
        if (unit && isAttached(*unit))
            list.push_back(unit);
    }
    return list;
}

bool countCallAndVanish(const TestCamera &unit)
{
    unsigned long long generation = 0;
    const Switches switches = currentSwitches(&generation);
    Vanishing &v = vanishing();
    const std::lock_guard<std::mutex> hold(v.lock);
    v.follow(generation);
    ++v.calls;
    if (switches.vanishAfter == 0 || v.calls != switches.vanishAfter)
        return false;
    v.gone.insert(unit.key);
    return true;
}

}  // namespace vcam
