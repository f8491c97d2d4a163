// What the test camera's checks share: the counters and CHECK of the
// Windows test programs, the files the camera reads and writes (the test
// names them in the environment), and waiting without hanging.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vcamtest {

int &passed();
int &failed();

#define CHECK(condition)                                                              \
    do {                                                                              \
        if (condition) {                                                              \
            ++vcamtest::passed();                                                     \
        } else {                                                                      \
            ++vcamtest::failed();                                                     \
            std::printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #condition);          \
            std::fflush(stdout);                                                      \
        }                                                                             \
    } while (0)

// The camera's control file: the switches of Switches.h, written whole.
void setSwitches(const std::string &text);
// The camera's log from line `from` on, and how many lines it has now.
std::vector<std::string> logLines(std::size_t from = 0);
std::size_t logSize();
// Whether any of `lines` contains every one of `parts`.
bool hasLine(const std::vector<std::string> &lines, const std::vector<std::string> &parts);
// Starts over: default switches, no log, the cameras' defaults.
void resetCamera();

// Polls `done` every 20 ms for up to `ms`.
bool waitFor(const std::function<bool()> &done, DWORD ms);

// The test camera's property page in a window of this process: Wine's
// property frame has neither caption nor owner to find it by.
HWND findPropertyPage();

// Closes the frame that holds `page` as its OK button does.
void closePropertyFrame(HWND page);

}  // namespace vcamtest
