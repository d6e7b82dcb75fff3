// The launch dialog on GTK 3: a frame "OpenGL (32bits)" with four resolution radio buttons, the
// "Windowed" checkbox and the Launch and Exit buttons. Clicks are turned into the command messages
// that the shell's dialog procedure expects; the loop runs until a quit message is posted.
#include "platform/platform.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <map>
#include <string>

#include "platform/icon.h"

namespace {

DialogProc dialogProc = nullptr;
GtkWidget* dialogWindow = nullptr;
std::map<int, GtkWidget*> controls;
bool quitPosted = false;
bool settingCheck = false;  // a programmatic check change is not a click

// Every control answers to Alt and its underlined character (the texts read as they always did).
void onClicked(GtkWidget*, gpointer data)
{
    if (settingCheck || dialogProc == nullptr) {
        return;
    }
    dialogProc(DialogMessage::Command, GPOINTER_TO_INT(data));
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer)
{
    if (dialogProc != nullptr) {
        dialogProc(DialogMessage::Close, 0);
    }
    return TRUE;  // the procedure decides; the window is only hidden
}

GtkWidget* addControl(int id, GtkWidget* widget)
{
    controls[id] = widget;
    g_signal_connect(widget, "clicked", G_CALLBACK(onClicked), GINT_TO_POINTER(id));
    return widget;
}

GdkPixbuf* iconPixbuf()
{
    static IconPixels icon = decodeIcon();
    if (icon.rgba.empty()) {
        return nullptr;
    }
    return gdk_pixbuf_new_from_data(icon.rgba.data(), GDK_COLORSPACE_RGB, TRUE, 8, icon.width, icon.height,
                                    icon.width * 4, nullptr, nullptr);
}

void buildDialog()
{
    dialogWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(dialogWindow), "Velmora - final version");
    gtk_window_set_resizable(GTK_WINDOW(dialogWindow), FALSE);
    gtk_container_set_border_width(GTK_CONTAINER(dialogWindow), 10);
    if (GdkPixbuf* icon = iconPixbuf()) {
        gtk_window_set_icon(GTK_WINDOW(dialogWindow), icon);
        g_object_unref(icon);
    }
    g_signal_connect(dialogWindow, "delete-event", G_CALLBACK(onDelete), nullptr);

    GtkWidget* frame = gtk_frame_new("OpenGL (32bits)");
    gtk_container_add(GTK_CONTAINER(dialogWindow), frame);
    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
    gtk_container_set_border_width(GTK_CONTAINER(columns), 8);
    gtk_container_add(GTK_CONTAINER(frame), columns);

    GtkWidget* radios = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    gtk_box_pack_start(GTK_BOX(columns), radios, FALSE, FALSE, 0);
    struct {
        int id;
        const char* text;
    } radioList[] = {
        {IDC_RES_640, "_640x480"}, {IDC_RES_800, "_800x600"}, {IDC_RES_1024, "_1024x768"}, {IDC_RES_1152, "11_52x864"}};
    GSList* group = nullptr;
    for (const auto& radio : radioList) {
        GtkWidget* button = gtk_radio_button_new_with_mnemonic(group, radio.text);
        group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(button));
        gtk_box_pack_start(GTK_BOX(radios), addControl(radio.id, button), FALSE, FALSE, 0);
    }

    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_box_pack_start(GTK_BOX(columns), right, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(right), addControl(IDC_WINDOWED, gtk_check_button_new_with_mnemonic("_Windowed")), FALSE,
                       FALSE, 0);
    GtkWidget* launch = addControl(IDC_LAUNCH, gtk_button_new_with_mnemonic("_Launch"));
    GtkWidget* exitButton = addControl(IDC_EXIT, gtk_button_new_with_mnemonic("E_xit"));
    gtk_box_pack_end(GTK_BOX(right), exitButton, FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(right), launch, FALSE, FALSE, 0);
    gtk_widget_set_can_default(launch, TRUE);
    gtk_window_set_default(GTK_WINDOW(dialogWindow), launch);
}

// The loop sleeps in poll, which a signal does not always wake (it may land on another of GTK's
// threads): a short timer looks for it and closes the dialog as its Close box would.
gboolean watchInterrupt(gpointer)
{
    if (sysInterruptSignal() != 0 && dialogProc != nullptr && !quitPosted) {
        dialogProc(DialogMessage::Close, 0);
    }
    return G_SOURCE_CONTINUE;
}

bool startGtk()
{
    // GTK would otherwise switch the whole program to the user's numeric locale.
    gtk_disable_setlocale();
    setenv("NO_AT_BRIDGE", "1", 0);
    return gtk_init_check(nullptr, nullptr);
}

void closeBox(GtkWidget*, gpointer closed)
{
    *static_cast<bool*>(closed) = true;
}

gboolean closeBoxOnDelete(GtkWidget*, GdkEvent*, gpointer closed)
{
    *static_cast<bool*>(closed) = true;
    return TRUE;
}

gboolean closeBoxOnInterrupt(gpointer closed)
{
    if (sysInterruptSignal() != 0) {
        *static_cast<bool*>(closed) = true;
    }
    return G_SOURCE_CONTINUE;
}

}  // namespace

// The message box runs in this process, not a helper: it cannot outlive the program, and an
// interrupt closes it at once (the run then ends through its teardown).
bool dialogShowMessageBox(const char* caption, const char* text)
{
    if (sysInterruptSignal() != 0 || !startGtk()) {
        return false;
    }
    bool closed = false;
    GtkWidget* box = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(box), caption);
    gtk_window_set_resizable(GTK_WINDOW(box), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    gtk_window_set_default_size(GTK_WINDOW(box), 260, -1);
    g_signal_connect(box, "delete-event", G_CALLBACK(closeBoxOnDelete), &closed);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 12);
    gtk_container_add(GTK_CONTAINER(box), column);
    GtkWidget* label = gtk_label_new(text);
    gtk_box_pack_start(GTK_BOX(column), label, FALSE, FALSE, 0);
    GtkWidget* ok = gtk_button_new_with_label("OK");
    g_signal_connect(ok, "clicked", G_CALLBACK(closeBox), &closed);
    gtk_widget_set_halign(ok, GTK_ALIGN_CENTER);
    gtk_box_pack_start(GTK_BOX(column), ok, FALSE, FALSE, 0);
    gtk_widget_set_can_default(ok, TRUE);
    gtk_window_set_default(GTK_WINDOW(box), ok);
    gtk_widget_show_all(box);
    gtk_widget_grab_focus(ok);
    gtk_window_present(GTK_WINDOW(box));
    const guint watch = g_timeout_add(50, closeBoxOnInterrupt, &closed);
    while (!closed) {
        gtk_main_iteration_do(TRUE);
    }
    g_source_remove(watch);
    gtk_widget_destroy(box);
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
    return true;
}

void dialogNotifyQuit()
{
    quitPosted = true;
}

bool sysRunLaunchDialog(DialogProc proc)
{
    if (!startGtk()) {
        sysSetLastError("cannot open the launch dialog: no display");
        return false;
    }
    dialogProc = proc;
    quitPosted = false;
    buildDialog();
    // The first radio of a GTK group starts active; the procedure decides what is checked.
    settingCheck = true;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(controls[IDC_RES_800]), TRUE);
    settingCheck = false;
    proc(DialogMessage::InitDialog, 0);
    gtk_window_move(GTK_WINDOW(dialogWindow), 100, 100);
    gtk_widget_show_all(dialogWindow);
    gtk_window_present(GTK_WINDOW(dialogWindow));
    const guint watch = g_timeout_add(50, watchInterrupt, nullptr);
    while (!quitPosted) {
        gtk_main_iteration_do(TRUE);
    }
    g_source_remove(watch);
    // Let the hidden dialog leave the screen before the render window opens.
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
    }
    dialogProc = nullptr;
    return true;
}

// Before the dialog is built (and in tests) the check states live here, with the automatic radio
// buttons' rule that checking one unchecks the others.
std::map<int, bool> headlessChecks;

static bool isRadio(int id)
{
    return id == IDC_RES_640 || id == IDC_RES_800 || id == IDC_RES_1024 || id == IDC_RES_1152;
}

bool sysDialogIsChecked(int controlId)
{
    auto it = controls.find(controlId);
    if (it == controls.end()) {
        auto state = headlessChecks.find(controlId);
        return state != headlessChecks.end() && state->second;
    }
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(it->second));
}

void sysDialogSetCheck(int controlId, bool checked)
{
    auto it = controls.find(controlId);
    if (it == controls.end()) {
        if (checked && isRadio(controlId)) {
            for (int id : {IDC_RES_640, IDC_RES_800, IDC_RES_1024, IDC_RES_1152}) {
                headlessChecks[id] = false;
            }
        }
        headlessChecks[controlId] = checked;
        return;
    }
    settingCheck = true;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(it->second), checked);
    settingCheck = false;
}

void sysEndDialog()
{
    if (dialogWindow != nullptr) {
        gtk_widget_hide(dialogWindow);
    }
}
