// The main window: its class, its 22 controls and the procedure that routes
// every user action.
#include "app/launcher.h"
#include "app/resource.h"
#include "app/ui.h"
#include "core/app_state.h"
#include "core/settings.h"
#include "wiring/shutdown.h"

const char* const kMainWindowClassName = "Vorbix WonClass";
const char* const kMainWindowTitle = "Vorbix3 Beta2";

namespace {

constexpr DWORD kMainWindowStyle = 0x140A0100;
constexpr int kMainWindowWidth = 547;
constexpr int kMainWindowHeight = 560;
// COLOR_MENU in the class brush's "index + 1" convention.
const HBRUSH kMainWindowBrush = reinterpret_cast<HBRUSH>(5);

// Where a control's start text comes from.
enum class StartText { Fixed, ConnectSetting, GamePathSetting, ParametersSetting };

struct ControlSpec {
    const char* className;
    const char* text;  // nullptr: no text at all
    DWORD style;
    int x, y, width, height;
    int id;
    HWND Ui::*handle;                // nullptr: not kept
    uint32_t AppState::*flag;        // check boxes: the flag that checks them
    StartText startText;
};

// In creation order, which is also the tab order.
const ControlSpec kControls[] = {
    {"BUTTON", "Vorbix3 Statistics", 0x50000F00, 10, 480, 250, 30, 3, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", "Hide \\ Launch", 0x50000F00, 270, 480, 150, 30, 9, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", "Close", 0x50000F00, 430, 480, 100, 30, 2, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", "Status", 0x50000007, 10, 10, 520, 70, 0, nullptr, nullptr, StartText::Fixed},
    {"STATIC", "Status", 0x50000000, 20, 40, 300, 20, 0, &Ui::statusLabel, nullptr, StartText::Fixed},
    {"STATIC", "", 0x50000000, 320, 40, 200, 20, 0, &Ui::playerNameLabel, nullptr, StartText::Fixed},
    {"BUTTON", "Message File", 0x50000007, 10, 90, 520, 70, 0, nullptr, nullptr, StartText::Fixed},
    {"STATIC", "Server Language", 0x50000000, 20, 120, 300, 20, 0, nullptr, nullptr, StartText::Fixed},
    {"COMBOBOX", nullptr, 0x50210003, 200, 120, 300, 200, 0, &Ui::messageFileBox, nullptr,
     StartText::Fixed},
    {"BUTTON", "Launch Mohaa", 0x50000007, 10, 170, 520, 160, 0, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", " Launch MOHAA on \"Hide \\ Launch\"", 0x50000003, 20, 200, 500, 20, 7, &Ui::launchCheckBox,
     &AppState::launchGameOnHide, StartText::Fixed},
    {"STATIC", "Connect to IP:", 0x50000000, 20, 230, 120, 20, 0, nullptr, nullptr, StartText::Fixed},
    {"EDIT", nullptr, 0x50800000, 150, 230, 200, 20, 6, &Ui::connectBox, nullptr,
     StartText::ConnectSetting},
    {"STATIC", "Game Path:", 0x50000000, 20, 260, 120, 20, 0, nullptr, nullptr, StartText::Fixed},
    {"EDIT", nullptr, 0x50800080, 150, 260, 370, 20, 6, &Ui::gamePathBox, nullptr,
     StartText::GamePathSetting},
    {"STATIC", "Parameters:", 0x50000000, 20, 290, 120, 20, 0, nullptr, nullptr, StartText::Fixed},
    {"EDIT", nullptr, 0x50800080, 150, 290, 370, 20, 6, &Ui::parametersBox, nullptr,
     StartText::ParametersSetting},
    {"BUTTON", "In Game", 0x50000007, 10, 340, 520, 130, 0, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", "Sounds", 0x50000003, 20, 370, 200, 20, 7, &Ui::soundsCheckBox, &AppState::soundsEnabled,
     StartText::Fixed},
    {"BUTTON", "Announcements", 0x50000003, 20, 400, 200, 20, 7, &Ui::announcementsCheckBox,
     &AppState::announcementsEnabled, StartText::Fixed},
    {"BUTTON", "Customize", 0x50000000, 250, 400, 150, 20, 8, nullptr, nullptr, StartText::Fixed},
    {"BUTTON", "Displays", 0x50000003, 20, 430, 200, 20, 7, &Ui::displaysCheckBox,
     &AppState::displaysEnabled, StartText::Fixed},
};

std::string startText(const ControlSpec& spec) {
    switch (spec.startText) {
    case StartText::ConnectSetting: return app.settingsTexts.server;
    case StartText::GamePathSetting: return app.settingsTexts.gamePath;
    case StartText::ParametersSetting: return app.settingsTexts.parameters;
    case StartText::Fixed: break;
    }
    return spec.text ? spec.text : "";
}

void createControls(HWND window, HINSTANCE instance) {
    for (const ControlSpec& spec : kControls) {
        std::string text = startText(spec);
        const char* windowText = (spec.text || spec.startText != StartText::Fixed) ? text.c_str() : nullptr;
        HWND control = CreateWindowExA(0, spec.className, windowText, spec.style, spec.x, spec.y, spec.width,
                                       spec.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)),
                                       instance, nullptr);
        if (spec.handle) ui.*spec.handle = control;
        if (spec.flag && app.*spec.flag != 0) setChecked(control, true);
    }
}

// The exit path runs once per process, whichever of the closing messages
// arrives first and however many follow. The boxes' texts are saved as shown.
void shutdownOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    app.settingsTexts = SettingsTexts{controlText(ui.connectBox), controlText(ui.gamePathBox),
                                      controlText(ui.parametersBox), controlText(ui.messageFileBox)};
    shutdownApp();
}

void onCommand(WORD id) {
    switch (id) {
    case kCommandClose: SendMessageA(ui.mainWindow, WM_DESTROY, 0, 0); break;
    case kCommandStatistics: runStatisticsDialog(); break;
    case kCommandShowHide: toggleMainWindow(); break;
    case kCommandCheckBoxes:
        applySwitches(isChecked(ui.launchCheckBox), isChecked(ui.soundsCheckBox), isChecked(ui.displaysCheckBox),
                      isChecked(ui.announcementsCheckBox));
        break;
    case kCommandAnnouncements: runAnnouncementsDialog(); break;
    case kCommandHideLaunch:
        if (app.launchGameOnHide != 0)
            launchGame(controlText(ui.gamePathBox), controlText(ui.parametersBox), controlText(ui.connectBox));
        hideMainWindow();
        break;
    default: break;  // 1 (Enter) and the ids of the edit boxes and the list
    }
}

}  // namespace

MainWindowClass::MainWindowClass(HINSTANCE instance) : description_{} {
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VORBIX));
    description_.cbSize = sizeof description_;
    description_.style = 0;
    description_.lpfnWndProc = mainWindowProc;
    description_.hInstance = instance;
    description_.hIcon = icon;
    description_.hIconSm = icon;
    description_.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    description_.hbrBackground = kMainWindowBrush;
    description_.lpszClassName = kMainWindowClassName;
}

void MainWindowClass::registerClass() const { RegisterClassExA(&description_); }

void MainWindow::create(HINSTANCE instance) {
    handle_ = CreateWindowExA(0, kMainWindowClassName, kMainWindowTitle, kMainWindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
}

void MainWindow::show(int showCommand) const {
    ShowWindow(handle_, showCommand);
    UpdateWindow(handle_);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage() && message != 0) {
        onTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        ui.mainWindow = window;
        createControls(window, reinterpret_cast<const CREATESTRUCTA*>(lParam)->hInstance);
        return 0;
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUIT:
        shutdownOnce();
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == 0) onCommand(LOWORD(wParam));
        return 0;
    case kTrayCallbackMessage: onTrayCallback(lParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void showMainWindow() {
    ShowWindow(ui.mainWindow, SW_SHOW);
    ui.windowHidden = false;
}

void hideMainWindow() {
    ShowWindow(ui.mainWindow, SW_HIDE);
    ui.windowHidden = true;
}

void toggleMainWindow() {
    if (ui.windowHidden)
        showMainWindow();
    else
        hideMainWindow();
}
