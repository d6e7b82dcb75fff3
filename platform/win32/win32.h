// Services of the Windows platform code for the rest of it: UTF-8 and UTF-16 paths, and where the
// program is. Windows builds only.
#pragma once
#include <string>

// UTF-8 to the UTF-16 of the wide system calls (bytes that are not UTF-8 are read in the ANSI code
// page); empty for null or empty.
std::wstring winWide(const char* utf8);
std::string winUtf8(const wchar_t* wide);
// The running program's full path, UTF-8, with '/' between folders.
std::string winExecutablePath();
