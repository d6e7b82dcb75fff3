// Entry point: the command line or the launch dialog decides the options, then the render window
// is made and the presentation plays. Returns 0 for a normal end (played, Exit, Close), 2 for a bad
// command line, 1 when the dialog or the window cannot be shown.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "shell/launch.h"
#include "shell/options.h"
#include "shell/window.h"

static void onInterrupt()
{
    escapeFlag = true;
}

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velmora: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("velmora 1.0.0");
        return 0;
    }

    setLaunchDefaults();
    sysSetBatchMode(options.batch);
    if (!options.dataDir.empty() && chdir(options.dataDir.c_str()) != 0) {
        std::fprintf(stderr, "velmora: cannot use data folder %s: %s\n", options.dataDir.c_str(), std::strerror(errno));
        return 1;
    }
    sysOnInterrupt(onInterrupt);

    if (options.noDialog) {
        launchChosen = true;
    } else {
        if (!sysRunLaunchDialog(launchDialogProc)) {
            std::fprintf(stderr, "velmora: %s (use --no-dialog with --windowed and --resolution to start without it)\n",
                         sysLastError());
            return 1;
        }
        if (exitChosen || !launchChosen) {
            return 0;
        }
    }
    // The command line has the last word over the dialog's choices.
    if (options.windowed) {
        fullScreen = false;
    }
    if (options.resolutionGiven) {
        screenWidth = options.width;
        screenHeight = options.height;
    }
    sysSetFixedStep(options.fps);

    if (!sysInitVideo(false)) {
        std::fprintf(stderr, "velmora: %s\n", sysLastError());
        return 1;
    }
    if (!runDemo()) {
        std::fprintf(stderr, "velmora: %s\n", sysLastError());
        return 1;
    }
    return 0;
}
