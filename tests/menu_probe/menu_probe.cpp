// A message hook that the end-to-end tests place on vorbix.exe's window
// thread. Popup menus cannot be read from another process under Wine, so the
// probe reads them from inside: when a popup menu window receives the
// registered message "VorbixMenuProbe", the entries of its menu are written
// to "menu-entries.txt" in the current directory, one line each, separators
// as empty lines.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) LRESULT CALLBACK menuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageA("VorbixMenuProbe");
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == probeMessage) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(call->hwnd, MN_GETHMENU, 0, 0));
        if (FILE* out = std::fopen("menu-entries.txt", "wb")) {
            int count = menu ? GetMenuItemCount(menu) : 0;
            for (int i = 0; i < count; ++i) {
                char text[64] = "";
                GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
                std::fprintf(out, "%s\n", text);
            }
            std::fclose(out);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
