// The main window's controls, kept as texts and check states that the
// terminal front-end owns: the core reads and sets them as it does on
// Windows (the settings file saves the launch boxes' texts and the chosen
// message file), and what the player should see of a change becomes a note.
#include "terminal/controls.h"

#include <string>

#include "core/settings.h"
#include "core/platform.h"
#include "terminal/display.h"

namespace {

struct VirtualControl {
    explicit VirtualControl(const char* shownAs = nullptr) : shownAs(shownAs) {}
    const char* shownAs;  // how a note names its check state; null: not shown
    std::string text;
    bool checked = false;
};

VirtualControl mainWindow, statusLabel, playerNameLabel, messageFileBox;
VirtualControl launchCheckBox, soundsCheckBox{"sounds"}, announcementsCheckBox{"announcements"},
    displaysCheckBox{"displays"};
VirtualControl connectBox, gamePathBox, parametersBox;

VirtualControl* asControl(WindowHandle handle) { return static_cast<VirtualControl*>(handle); }

void makeCheckBox(WindowHandle& handle, VirtualControl& control, uint32_t flag) {
    handle = &control;
    control.checked = flag != 0;
}

}  // namespace

void createControls() {
    app.mainWindow = &mainWindow;
    app.statusLabel = &statusLabel;
    app.playerNameLabel = &playerNameLabel;
    app.messageFileBox = &messageFileBox;
    makeCheckBox(app.launchCheckBox, launchCheckBox, app.launchGameOnHide);
    makeCheckBox(app.soundsCheckBox, soundsCheckBox, app.soundsEnabled);
    makeCheckBox(app.announcementsCheckBox, announcementsCheckBox, app.announcementsEnabled);
    makeCheckBox(app.displaysCheckBox, displaysCheckBox, app.displaysEnabled);
    app.connectBox = &connectBox;
    app.gamePathBox = &gamePathBox;
    app.parametersBox = &parametersBox;
    connectBox.text = launchSetting("ip", kDefaultServer);
    gamePathBox.text = launchSetting("gamepath", kDefaultGamePath);
    parametersBox.text = launchSetting("gameparameters", kDefaultGameParameters);
}

void setControlText(WindowHandle control, const char* text) {
    VirtualControl* c = asControl(control);
    if (c == nullptr) return;
    const bool changed = c->text != text;
    c->text = text;
    if (!changed || *text == '\0') return;
    if (c == &playerNameLabel) showNote(std::string("player ") + text);
    if (c == &statusLabel) showNote(text);
}

std::string getControlText(WindowHandle control) {
    VirtualControl* c = asControl(control);
    return c ? c->text : std::string();
}

void setCheckBox(WindowHandle checkBox, bool checked) {
    VirtualControl* c = asControl(checkBox);
    if (c == nullptr) return;
    if (c->shownAs && c->checked != checked) showNote(std::string(c->shownAs) + (checked ? " on" : " off"));
    c->checked = checked;
}

bool isCheckBoxChecked(WindowHandle checkBox) {
    VirtualControl* c = asControl(checkBox);
    return c && c->checked;
}

// A terminal has no window to show or hide, no tray icon and no dialogs.
void showMainWindow() { app.windowHidden = false; }

void hideMainWindow() { app.windowHidden = true; }

void setDialogItemText(WindowHandle, int, const char*) {}

void removeTrayIcon() {}

void showWarning(const char* text, const char* caption) { showWarningLine(caption, text); }

void showNotice(const char* text) { showNote(text); }
