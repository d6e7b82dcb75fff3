// Start-up options and the launch dialog's procedure: four resolutions, the Windowed toggle,
// Launch and Exit. The dialog itself is drawn by the platform layer.
#include "shell/launch.h"

#include "scenes/scenes.h"
#include "shell/sequencer.h"
#include "shell/window.h"

int32_t screenWidth = 800;
int32_t screenHeight = 600;
bool fullScreen = true;
bool modeChange = false;
bool launchChosen = false;
bool exitChosen = false;

void setLaunchDefaults()
{
    exitChosen = false;
    launchChosen = false;
    fullScreen = true;
    screenWidth = 800;
    screenHeight = 600;
}

// The first checked radio button decides the resolution; with none checked, 800x600 is checked
// again and the resolution is left as it is.
static void queryResolution()
{
    struct Choice {
        int id;
        int32_t width;
        int32_t height;
    };
    static const Choice choices[] = {
        {IDC_RES_640, 640, 480}, {IDC_RES_800, 800, 600}, {IDC_RES_1024, 1024, 768}, {IDC_RES_1152, 1152, 864}};
    for (const Choice& choice : choices) {
        if (sysDialogIsChecked(choice.id)) {
            screenWidth = choice.width;
            screenHeight = choice.height;
            return;
        }
    }
    sysDialogSetCheck(IDC_RES_800, true);
}

// The radio button of a resolution; 800x600's for any other size.
static int radioFor(int32_t width)
{
    switch (width) {
    case 640:
        return IDC_RES_640;
    case 1024:
        return IDC_RES_1024;
    case 1152:
        return IDC_RES_1152;
    default:
        return IDC_RES_800;
    }
}

bool launchDialogProc(DialogMessage message, int controlId)
{
    switch (message) {
    case DialogMessage::InitDialog:
        // The dialog opens on the current choice (800x600 full-screen unless the command line said
        // otherwise); the Windowed box then flips fullScreen in step with its check.
        sysDialogSetCheck(radioFor(screenWidth), true);
        sysDialogSetCheck(IDC_WINDOWED, !fullScreen);
        return false;
    case DialogMessage::Close:
        exitChosen = true;
        sysEndDialog();
        sysPostQuitMessage();
        return true;
    case DialogMessage::Command:
        break;
    }
    switch (controlId) {
    case IDC_LAUNCH:
        exitChosen = false;
        launchChosen = true;
        sysEndDialog();
        sysPostQuitMessage();
        return true;
    case IDC_EXIT:
        exitChosen = true;
        sysEndDialog();
        sysPostQuitMessage();
        return true;
    case IDC_WINDOWED:
        fullScreen = !fullScreen;
        return false;
    default:
        queryResolution();
        return false;
    }
}

// The scene table, for a platform whose playback controls mark where each scene starts.
static void handOverChapters()
{
    const char* names[sceneCount] = {};
    double starts[sceneCount] = {};
    for (int i = 0; i < sceneCount; ++i) {
        names[i] = sceneTable[i].name;
        starts[i] = static_cast<double>(sceneTable[i].start);
    }
    sysSetChapters(names, starts, sceneCount, static_cast<double>(presentationLength));
}

bool runDemo()
{
    mainWindow = createMainWindow("Velmora", screenWidth, screenHeight, fullScreen);
    if (!mainWindow) {
        return false;
    }
    handOverChapters();
    runSequence();
    return true;
}
