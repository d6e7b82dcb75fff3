// Opening the data files the presentation reads: only regular files are opened, opening never
// waits on a FIFO or a device, and once the data folder is known nothing outside it is read, however
// a name or a symbolic link points there.
#pragma once
#include <cstdio>
#include <string>

// A damaged data file is told in one line on stderr; with verboseDataReports (--verbose) every
// problem found in it is.
extern bool verboseDataReports;

// Opens path for reading in binary mode when it is a regular file. Null otherwise, with the reason
// in why ("No such file or directory", "not a regular file", ...).
FILE* openRegularFile(const char* path, std::string* why);

// The folder every data file must lie in, once symbolic links are resolved; empty (the default)
// puts no bound on where files are. False when the folder cannot be resolved.
bool setDataRoot(const std::string& folder);
// The data file's real path (symbolic links, "." and ".." resolved), or empty when it does not
// exist or lies outside the data folder.
std::string resolvedDataPath(const char* path);
// openRegularFile for a data file, which must also lie inside the data folder after symbolic links
// are resolved. Every data file of the presentation is opened through here. refused, when given,
// tells a file that is there but refused (not regular, outside the folder) from one that cannot be
// opened at all (missing, no permission).
FILE* openDataFile(const char* path, std::string* why, bool* refused = nullptr);

// Output files are written under a temporary name beside their target and renamed into place only
// when complete, so that an earlier file at the target survives any failure. Makes that empty file
// (".NAME-XXXXXX" + suffix in the target's folder, readable as a new file would be) and returns
// its name; empty with the reason in why when it cannot be made.
std::string makeFileBeside(const std::string& target, const char* suffix, std::string* why);
