// Command-line parsing. Every option is checked; the first problem is reported by name. Times are
// seconds of presentation time, kept as whole milliseconds from here on.
#include "shell/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Digits, with a fraction when allowed ("44.5", not "44." or ".5"): no sign, space, base prefix,
// exponent or name such as "inf".
bool isDecimal(const char* text, bool fraction)
{
    const size_t whole = std::strspn(text, "0123456789");
    if (whole == 0) {
        return false;
    }
    if (text[whole] == '\0') {
        return true;
    }
    return fraction && text[whole] == '.' && text[whole + 1] != '\0' &&
           std::strspn(text + whole + 1, "0123456789") == std::strlen(text + whole + 1);
}

bool parseInt(const char* text, int low, int high, int* value)
{
    if (text == nullptr || !isDecimal(text, false)) {
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

// Seconds ("44.5") to whole milliseconds within low .. high ms.
bool parseSeconds(const char* text, int lowMs, int highMs, int* ms)
{
    if (text == nullptr || !isDecimal(text, true)) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(seconds)) {
        return false;
    }
    const double rounded = std::round(seconds * 1000.0);
    if (rounded < lowMs || rounded > highMs) {
        return false;
    }
    *ms = static_cast<int>(rounded);
    return true;
}

bool parseResolution(const char* text, int* width, int* height)
{
    static const struct {
        const char* name;
        int w;
        int h;
    } sizes[] = {{"640x480", 640, 480}, {"800x600", 800, 600}, {"1024x768", 1024, 768}, {"1152x864", 1152, 864}};
    for (const auto& size : sizes) {
        if (std::strcmp(text, size.name) == 0) {
            *width = size.w;
            *height = size.h;
            return true;
        }
    }
    return false;
}

// "WxH" with both sides even, from 320x240 to 3840x2160.
bool parseSize(const char* text, int* width, int* height)
{
    const char* x = std::strchr(text, 'x');
    if (x == nullptr || x == text || std::strspn(text, "0123456789") != static_cast<size_t>(x - text)) {
        return false;
    }
    const std::string across(text, x);
    return parseInt(across.c_str(), 320, 3840, width) && parseInt(x + 1, 240, 2160, height) &&
           std::isdigit(static_cast<unsigned char>(x[1])) && *width % 2 == 0 && *height % 2 == 0;
}

bool endsWith(const std::string& text, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    if (text.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        const char c = text[text.size() - n + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) {
            return false;
        }
    }
    return true;
}

// Checks that go across options, once all of them are read; fills in what the others imply.
bool finishOptions(Options* options, const std::vector<int>& atMs, int everyMs, std::string* error)
{
    const bool capture = !options->capturePath.empty();
    const bool frames = !options->framesDir.empty();
    if (!options->benchmarkOut.empty() && !options->benchmark) {
        *error = "--benchmark-out needs --benchmark";
        return false;
    }
    if (options->benchmark && (capture || frames)) {
        *error = std::string("--benchmark cannot be used with ") + (capture ? "--capture" : "--frames");
        return false;
    }
    if (capture && frames) {
        *error = "--capture and --frames cannot be used together";
        return false;
    }
    // Options that would do nothing in this mode are refused, like other combinations that make
    // no sense, rather than taken and ignored.
    if (options->endAtMs >= 0 && !capture && !frames && !options->benchmark) {
        *error = "--end-at needs --capture, --frames or --benchmark";
        return false;
    }
    if (options->modeChange && (capture || frames || options->benchmark)) {
        *error = std::string("--mode-change does nothing with ") +
                 (capture  ? "--capture"
                  : frames ? "--frames"
                           : "--benchmark") +
                 ", which never change the display";
        return false;
    }
    if (options->modeChange && options->windowed && options->noDialog) {
        *error = "--mode-change does nothing with --windowed --no-dialog: a window never changes the display";
        return false;
    }
    if (!frames && (!atMs.empty() || everyMs > 0)) {
        *error = "--at and --every need --frames";
        return false;
    }
    if (frames && atMs.empty() && everyMs == 0) {
        *error = "--frames needs --at or --every to say which frames";
        return false;
    }
    if (!capture && !frames && (options->recordWidth > 0 || options->supersample > 1)) {
        *error = "--size and --supersample need --capture or --frames";
        return false;
    }
    if (options->supersample > 1 && options->recordWidth == 0) {
        // Supersampling alone keeps the resolution's size.
        options->recordWidth = options->width;
        options->recordHeight = options->height;
    }
    if (capture && !endsWith(options->capturePath, ".mp4") && !endsWith(options->capturePath, ".mkv")) {
        *error = "bad value for --capture: '" + options->capturePath + "' (the file name must end in .mp4 or .mkv)";
        return false;
    }
    const int startMs = std::max(options->startAtMs, 0);
    const int endMs = options->endAtMs >= 0 ? options->endAtMs : presentationLengthMs;
    if (options->endAtMs >= 0 && options->endAtMs <= startMs) {
        *error = "--end-at must lie after --start-at";
        return false;
    }
    for (int ms : atMs) {
        if (ms < startMs) {
            *error = "--at " + timeName(ms) + " lies before --start-at " + timeName(startMs);
            return false;
        }
    }
    options->atMs = atMs;
    if (everyMs > 0) {
        for (long ms = startMs; ms <= endMs; ms += everyMs) {
            options->atMs.push_back(static_cast<int>(ms));
        }
    }
    std::sort(options->atMs.begin(), options->atMs.end());
    options->atMs.erase(std::unique(options->atMs.begin(), options->atMs.end()), options->atMs.end());
    if (capture || frames) {
        options->windowed = true;
    }
    if (capture || frames || options->benchmark) {
        options->noDialog = true;
        options->batch = true;
        if (options->fps == 0) {
            options->fps = 60;
        }
    }
    return true;
}

}  // namespace

std::string timeName(int ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%03d", ms / 1000, ms % 1000);
    return text;
}

bool isRecording(const Options& options)
{
    return !options.capturePath.empty() || !options.framesDir.empty();
}

const char* usageText()
{
    return "usage: velmora [OPTIONS]\n"
           "With no option the launch dialog asks for the resolution and the display.\n"
           "  --no-dialog          start at once with the options given\n"
           "  --windowed           play in a window instead of full screen\n"
           "                       (full screen covers the display at its own mode and shows the\n"
           "                       picture scaled, 4:3 between black bars)\n"
           "  --mode-change        full screen switches the display to the resolution instead of\n"
           "                       scaling the picture (scaled after all where it cannot)\n"
           "  --resolution WxH     640x480, 800x600 (default), 1024x768 or 1152x864: the size the\n"
           "                       picture is drawn at before it is scaled to the screen\n"
           "  --data DIR           the folder holding pict/, maps/, text/ and music/\n"
           "  --fps N              fixed-step clock: every frame advances time by 1/N s\n"
           "  --batch              never wait for a person: message boxes go to stderr\n"
           "  --verbose            every problem found in a damaged data file, not one line a file\n"
           "  --start-at T         play from T seconds into the presentation (0 to 232)\n"
           "  --end-at T           with --capture, --frames or --benchmark: stop at T seconds\n"
           "  --capture FILE       record the presentation to FILE (.mp4 or .mkv) with its music;\n"
           "                       needs no display; --fps (default 60) and --resolution or --size apply\n"
           "  --frames DIR         write PNG pictures of chosen frames to DIR, named by their time\n"
           "  --at T1,T2,...       with --frames: the frames at these times (seconds, 0 to 232)\n"
           "  --every S            with --frames: a frame every S seconds\n"
           "  --size WxH           with --capture or --frames: frames of WxH (320x240 to 3840x2160,\n"
           "                       both even), the 4:3 picture drawn at full size between black bars\n"
           "  --supersample N      with --size: draw N times larger (1 to 4) and reduce, for smooth edges\n"
           "  --benchmark          play as fast as frames can be drawn, without music, and print\n"
           "                       the frame times per scene; headless unless --windowed is given\n"
           "  --benchmark-out FILE with --benchmark: write every frame's time to FILE as JSON\n"
           "  --help               this text\n"
           "  --version            the program's version\n";
}

bool parseOptions(int argc, char** argv, Options* options, std::string* error)
{
    std::vector<int> atMs;
    int everyMs = 0;
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
        auto badValue = [&](const char* text, const char* expected) {
            *error = "bad value for " + arg + ": '" + text + "' (" + expected + ")";
            return false;
        };
        const char* text = nullptr;
        if (arg == "--no-dialog") {
            options->noDialog = true;
        } else if (arg == "--windowed") {
            options->windowed = true;
        } else if (arg == "--mode-change") {
            options->modeChange = true;
        } else if (arg == "--batch") {
            options->batch = true;
        } else if (arg == "--verbose") {
            options->verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--resolution") {
            if (!value(&text)) {
                return false;
            }
            if (!parseResolution(text, &options->width, &options->height)) {
                return badValue(text, "use 640x480, 800x600, 1024x768 or 1152x864");
            }
            options->resolutionGiven = true;
        } else if (arg == "--size") {
            if (!value(&text)) {
                return false;
            }
            if (!parseSize(text, &options->recordWidth, &options->recordHeight)) {
                return badValue(text, "WxH from 320x240 to 3840x2160, both even");
            }
        } else if (arg == "--supersample") {
            if (!value(&text)) {
                return false;
            }
            if (!parseInt(text, 1, 4, &options->supersample)) {
                return badValue(text, "a whole number from 1 to 4");
            }
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
                return badValue(text, "a whole number from 1 to 1000");
            }
        } else if (arg == "--benchmark") {
            options->benchmark = true;
        } else if (arg == "--benchmark-out") {
            if (!value(&text)) {
                return false;
            }
            if (*text == '\0') {
                return badValue(text, "a file name");
            }
            options->benchmarkOut = text;
        } else if (arg == "--capture" || arg == "--frames") {
            if (!value(&text)) {
                return false;
            }
            if (*text == '\0') {
                return badValue(text, arg == "--capture" ? "a file name" : "a folder name");
            }
            (arg == "--capture" ? options->capturePath : options->framesDir) = text;
        } else if (arg == "--at") {
            if (!value(&text)) {
                return false;
            }
            // A comma-separated list; every item must be a time inside the presentation.
            std::string list = text;
            size_t begin = 0;
            for (;;) {
                const size_t comma = list.find(',', begin);
                const std::string item =
                    list.substr(begin, comma == std::string::npos ? std::string::npos : comma - begin);
                int ms = 0;
                if (!parseSeconds(item.c_str(), 0, presentationLengthMs, &ms)) {
                    return badValue(text, "times in seconds from 0 to 232, separated by commas");
                }
                atMs.push_back(ms);
                if (comma == std::string::npos) {
                    break;
                }
                begin = comma + 1;
            }
        } else if (arg == "--every") {
            if (!value(&text)) {
                return false;
            }
            if (!parseSeconds(text, 1, presentationLengthMs, &everyMs)) {
                return badValue(text, "seconds between frames, from 0.001 to 232");
            }
        } else if (arg == "--start-at") {
            if (!value(&text)) {
                return false;
            }
            if (!parseSeconds(text, 0, presentationLengthMs, &options->startAtMs)) {
                return badValue(text, "seconds from 0 to 232");
            }
        } else if (arg == "--end-at") {
            if (!value(&text)) {
                return false;
            }
            if (!parseSeconds(text, 1, presentationLengthMs, &options->endAtMs)) {
                return badValue(text, "seconds from 0.001 to 232");
            }
        } else {
            *error = "unknown option: " + arg;
            return false;
        }
    }
    return finishOptions(options, atMs, everyMs, error);
}
