// The files a test names through the environment: small text files read
// whole and written whole. Wine passes the Linux environment on, so a test
// sets these before it starts a Windows program.
#pragma once

#include <windows.h>

#include <string>

namespace vcam {

// The file named by environment variable `variable`; empty when it is unset.
std::wstring pathFromEnvironment(const wchar_t *variable);

// The file's bytes; false when it cannot be read (missing counts as empty).
bool readFile(const std::wstring &path, std::string *text);
// Replaces the file's content at once (a temporary file moved over it), so
// that another process reads the old content or the new, never half.
bool replaceFile(const std::wstring &path, const std::string &text);
// Appends one line and flushes it to the file before returning.
void appendLine(const std::wstring &path, const std::string &line);

// Last write time and size, to tell whether a file changed; 0 when missing.
unsigned long long fileStamp(const std::wstring &path);

// Milliseconds on the system clock, the same in every process.
unsigned long long nowMs();

}  // namespace vcam
