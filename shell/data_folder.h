// Where the presentation's data (pict/, maps/, text/, music/) is found when no --data is given.
#pragma once
#include <string>
#include <vector>

// Places to look, in order: the current folder, <exe dir>/../share/velmora, <exe dir>/data (a build
// tree), then the installed prefix's share/velmora. Empty names are left out.
std::vector<std::string> dataFolderCandidates(const std::string& currentDir, const std::string& exeDir,
                                              const std::string& installedDir);
// True when folder holds pict/ or maps/.
bool looksLikeDataFolder(const std::string& folder);
// The first candidate that holds the data; empty when none does.
std::string findDataFolder(const std::vector<std::string>& candidates);
// The folder of the running executable (from /proc/self/exe); empty when it cannot be read.
std::string executableDir();
// The share/velmora folder of the prefix the program was built to be installed to.
std::string installedDataDir();
// path made absolute against the current folder (unchanged when it already is).
std::string absolutePath(const std::string& path);
