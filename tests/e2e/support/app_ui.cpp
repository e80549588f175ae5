#include "support/app_ui.h"

#include <SimpleIni.h>
#include <gtest/gtest.h>

constexpr UINT kAnswerMs = 5000;  // longest wait for an answer of vorbix.exe

HWND controlWithText(const VorbixProcess& vorbix, const char* className, const std::string& text) {
    for (const ChildWindow& child : vorbix.controls())
        if (child.className == className && child.text == text) return child.handle;
    return nullptr;
}

void setWindowText(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                    kAnswerMs, &result) &&
                result)
        << "the window did not take the text \"" << text << "\"";
}

bool isChecked(HWND checkBox) {
    DWORD_PTR state = 0;
    EXPECT_TRUE(SendMessageTimeoutA(checkBox, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &state))
        << "the check box did not answer within " << kAnswerMs << " ms";
    return state == BST_CHECKED;
}

HWND waitForDialog(DWORD pid, const std::string& caption, DWORD timeoutMs) {
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = findTopLevel(pid, "#32770", caption.c_str(), true)) != nullptr; }, timeoutMs);
    return dialog;
}

void endDialog(HWND dialog, WPARAM command) {
    PostMessageA(dialog, WM_COMMAND, command, 0);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(dialog); }, 10000)) << "the dialog stayed open";
}

HWND findPopupMenu(DWORD pid) { return findTopLevel(pid, "#32768", nullptr, true); }

HWND waitForPopupMenu(DWORD pid, DWORD timeoutMs) {
    HWND menu = nullptr;
    waitUntil([&] { return (menu = findPopupMenu(pid)) != nullptr; }, timeoutMs);
    return menu;
}

std::vector<std::string> popupMenuEntries(HWND menuWindow, const TestDir& runDir) {
    std::vector<std::string> entries;
    static HMODULE probe = LoadLibraryA((exeDir() + "\\menu_probe.dll").c_str());
    auto hook = probe ? reinterpret_cast<HOOKPROC>(GetProcAddress(probe, "menuProbeHook")) : nullptr;
    if (!hook) return entries;
    HHOOK installed = SetWindowsHookExA(WH_CALLWNDPROC, hook, probe, GetWindowThreadProcessId(menuWindow, nullptr));
    if (!installed) return entries;
    static const UINT probeMessage = RegisterWindowMessageA("VorbixMenuProbe");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(menuWindow, probeMessage, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result);
    UnhookWindowsHookEx(installed);

    std::string text = runDir.read("menu-entries.txt");
    DeleteFileA(runDir.file("menu-entries.txt").c_str());
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        entries.push_back(text.substr(start, end - start));
    return entries;
}

std::string iniValue(const std::string& path, const char* section, const char* key, const char* absent) {
    CSimpleIniA ini(false, false, false);
    if (ini.LoadFile(path.c_str()) < 0) return "<unreadable>";
    const char* value = ini.GetValue(section, key, nullptr);
    return value ? value : absent;
}
