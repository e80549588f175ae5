// A stand-in for the game's executable: records how it was started, in
// "launched.txt" of its working directory (the command line, then the
// directory, each on its own line), and exits.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    FILE* out = std::fopen("launched.txt", "wb");
    if (!out) return 1;
    std::fprintf(out, "%s\r\n%s\r\n", GetCommandLineA(), directory);
    return std::fclose(out) == 0 ? 0 : 1;
}
