// The command line: the launch dialog's choices for unattended runs, plus the data folder, the
// fixed-step clock and batch mode.
#pragma once
#include <string>

struct Options {
    bool noDialog = false;
    bool windowed = false;
    bool resolutionGiven = false;
    int width = 800;
    int height = 600;
    std::string dataDir;  // empty: look in the usual places
    int fps = 0;          // 0: the wall clock
    bool batch = false;
    bool help = false;
    bool version = false;
};

// Parses argv. Returns false with a one-line reason in error for an unknown option or a bad value.
bool parseOptions(int argc, char** argv, Options* options, std::string* error);
// The usage text printed by --help and after a bad option.
const char* usageText();
