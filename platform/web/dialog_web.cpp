// The launch dialog as the page's form: the same four resolutions, the Windowed box, Launch and
// Exit. The form's clicks are handed to the dialog procedure one at a time; the program waits for
// each (Asyncify) while the page stays live.
#include "platform/platform.h"

#include <emscripten.h>

namespace {

bool dialogEnded = false;

EM_JS(int, waitForDialogCommand, (), {
    return Asyncify.handleSleep(function(wakeUp) { window.velmora.waitCommand(wakeUp); });
});

}  // namespace

// Called by sysPostQuitMessage: the dialog's loop ends at the quit message.
void dialogNotifyQuit()
{
    dialogEnded = true;
}

bool sysRunLaunchDialog(DialogProc proc)
{
    dialogEnded = false;
    EM_ASM({ window.velmora.showDialog(); });
    proc(DialogMessage::InitDialog, 0);
    while (!dialogEnded) {
        proc(DialogMessage::Command, waitForDialogCommand());
    }
    return true;
}

bool sysDialogIsChecked(int controlId)
{
    return EM_ASM_INT({
        var control = document.getElementById('c' + $0);
        return control && control.checked ? 1 : 0;
    }, controlId) != 0;
}

void sysDialogSetCheck(int controlId, bool checked)
{
    EM_ASM({
        var control = document.getElementById('c' + $0);
        if (control) control.checked = !!$1;
    }, controlId, checked);
}

void sysEndDialog()
{
    EM_ASM({ window.velmora.hideDialog(); });
}
