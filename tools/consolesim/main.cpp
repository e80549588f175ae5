// consolesim: a stand-in for the game's console window, for trying the
// companion without the game.
//
//   consolesim.exe [--edition aa|sh|bt] [--name NAME] [--replay FILE]
//                  [--speed X] [--log FILE] [--fps N | --instant] [--hidden]
//   consolesim.exe --close TITLE
//
// The console pumps its messages once a frame like the game, at --fps frames
// a second (default 60); --instant answers every message at once instead.
// The window shows, as the game's console does at start-up; --hidden keeps
// it hidden, as while the game's own window is up.
// --replay prints the file's lines into the console, one line per line, as
// the game would. A line "#delay MS" waits MS milliseconds (divided by
// --speed) before the next line; "#map M" makes M the map "mapname" answers
// with (the replayed map load's); a line starting with "# " is a comment.
// Every other line is printed byte for byte (control bytes included).
// --log writes every command received, one per line: milliseconds since the
// start, a tab, the command. The program runs until its window is closed.
//
// --close asks the top-level window titled TITLE to close, as its title bar's
// close button would (WM_CLOSE), and waits up to 30 seconds for it to go. Exit
// code 0 when it went, 1 when there was no such window, 3 when it stayed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include "consolesim/sim_window.h"

namespace {

struct Arguments {
    int edition = 0;
    std::string name = "UnnamedSoldier";
    std::string replayFile;
    double speed = 1.0;
    std::string logFile;
    std::string closeTitle;
    int framesPerSecond = 60;
    bool instant = false;
    bool hidden = false;
};

void usage() {
    std::fprintf(stderr,
                 "usage: consolesim.exe [--edition aa|sh|bt] [--name NAME] [--replay FILE] [--speed X] [--log FILE]\n"
                 "                      [--fps N | --instant] [--hidden]\n"
                 "       consolesim.exe --close TITLE\n");
}

bool parseArguments(int argc, char** argv, Arguments& out) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--instant" || option == "--hidden") {
            (option == "--instant" ? out.instant : out.hidden) = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (option == "--edition") {
            if (value == "aa") out.edition = 0;
            else if (value == "sh") out.edition = 1;
            else if (value == "bt") out.edition = 2;
            else return false;
        } else if (option == "--name") {
            out.name = value;
        } else if (option == "--replay") {
            out.replayFile = value;
        } else if (option == "--speed") {
            out.speed = std::atof(value.c_str());
            if (!(out.speed > 0)) return false;
        } else if (option == "--log") {
            out.logFile = value;
        } else if (option == "--fps") {
            out.framesPerSecond = std::atoi(value.c_str());
            if (out.framesPerSecond < 1 || out.framesPerSecond > 1000) return false;
        } else if (option == "--close") {
            out.closeTitle = value;
        } else {
            return false;
        }
    }
    return true;
}

// Prints the replay file into the console; stops early when it is closed.
void replay(consolesim::SimConsole& console, const std::string& path, double speed) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "consolesim: cannot read %s\n", path.c_str());
        return;
    }
    std::string line;
    while (console.isOpen() && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 7, "#delay ") == 0) {
            double ms = std::atof(line.c_str() + 7) / speed;
            if (ms > 0) console.waitUntilClosed(static_cast<unsigned>(ms));
        } else if (line.compare(0, 5, "#map ") == 0) {
            console.setMap(line.substr(5));
        } else if (line != "#" && line.compare(0, 2, "# ") != 0) {
            console.printAndWait(line);
        }
    }
}

int closeWindowTitled(const std::string& title) {
    HWND window = FindWindowA(nullptr, title.c_str());
    if (window == nullptr) {
        std::fprintf(stderr, "consolesim: no window titled \"%s\"\n", title.c_str());
        return 1;
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    for (int waited = 0; waited < 30000; waited += 100) {
        if (!IsWindow(window)) return 0;
        Sleep(100);
    }
    std::fprintf(stderr, "consolesim: \"%s\" is still open\n", title.c_str());
    return 3;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!parseArguments(argc, argv, arguments)) {
        usage();
        return 2;
    }
    if (!arguments.closeTitle.empty()) return closeWindowTitled(arguments.closeTitle);

    std::FILE* log = nullptr;
    if (!arguments.logFile.empty()) {
        log = std::fopen(arguments.logFile.c_str(), "ab");
        if (!log) {
            std::fprintf(stderr, "consolesim: cannot write %s\n", arguments.logFile.c_str());
            return 1;
        }
    }

    consolesim::SimOptions options;
    options.edition = arguments.edition;
    options.playerName = arguments.name;
    options.visible = !arguments.hidden;
    options.framePaced = !arguments.instant;
    options.framesPerSecond = arguments.framesPerSecond;
    options.onCommand = [log](const consolesim::ReceivedCommand& command) {
        if (!log) return;
        std::fprintf(log, "%llu\t%s\n", static_cast<unsigned long long>(command.atMs), command.text.c_str());
        std::fflush(log);
    };
    consolesim::SimConsole console(options);
    if (!console.window()) {
        std::fprintf(stderr, "consolesim: cannot open the console window\n");
        return 1;
    }
    if (!arguments.replayFile.empty()) replay(console, arguments.replayFile, arguments.speed);
    while (!console.waitUntilClosed(60000)) {
    }
    if (log) std::fclose(log);
    return 0;
}
