// Opening the data files the presentation reads: only regular files are opened, and opening never
// waits on a FIFO or a device.
#pragma once
#include <cstdio>
#include <string>

// Opens path for reading in binary mode when it is a regular file. Null otherwise, with the reason
// in why ("No such file or directory", "not a regular file", ...).
FILE* openRegularFile(const char* path, std::string* why);
