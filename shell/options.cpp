// Command-line parsing. Every option is checked; the first problem is reported by name.
#include "shell/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool parseInt(const char* text, int low, int high, int* value)
{
    if (text == nullptr || *text == '\0') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

bool parseResolution(const char* text, int* width, int* height)
{
    static const struct { const char* name; int w; int h; } sizes[] = {
        {"640x480", 640, 480}, {"800x600", 800, 600}, {"1024x768", 1024, 768}, {"1152x864", 1152, 864}};
    for (const auto& size : sizes) {
        if (std::strcmp(text, size.name) == 0) {
            *width = size.w;
            *height = size.h;
            return true;
        }
    }
    return false;
}

}  // namespace

const char* usageText()
{
    return "usage: velmora [OPTIONS]\n"
           "With no option the launch dialog asks for the resolution and the display.\n"
           "  --no-dialog          start at once with the options given\n"
           "  --windowed           play in a window instead of full-screen\n"
           "  --resolution WxH     640x480, 800x600 (default), 1024x768 or 1152x864\n"
           "  --data DIR           the folder holding pict/, maps/, text/ and music/\n"
           "  --fps N              fixed-step clock: every frame advances time by 1/N s\n"
           "  --batch              never wait for a person: message boxes go to stderr\n"
           "  --help               this text\n"
           "  --version            the program's version\n";
}

bool parseOptions(int argc, char** argv, Options* options, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char** out) {
            if (i + 1 >= argc) {
                *error = "option " + arg + " needs a value";
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const char* text = nullptr;
        if (arg == "--no-dialog") {
            options->noDialog = true;
        } else if (arg == "--windowed") {
            options->windowed = true;
        } else if (arg == "--batch") {
            options->batch = true;
        } else if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--resolution") {
            if (!value(&text)) {
                return false;
            }
            if (!parseResolution(text, &options->width, &options->height)) {
                *error = std::string("bad value for --resolution: '") + text +
                         "' (use 640x480, 800x600, 1024x768 or 1152x864)";
                return false;
            }
            options->resolutionGiven = true;
        } else if (arg == "--data") {
            if (!value(&text)) {
                return false;
            }
            if (*text == '\0') {
                *error = "bad value for --data: empty folder name";
                return false;
            }
            options->dataDir = text;
        } else if (arg == "--fps") {
            if (!value(&text)) {
                return false;
            }
            if (!parseInt(text, 1, 1000, &options->fps)) {
                *error = std::string("bad value for --fps: '") + text + "' (a whole number from 1 to 1000)";
                return false;
            }
        } else {
            *error = "unknown option: " + arg;
            return false;
        }
    }
    return true;
}
