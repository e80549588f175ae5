// A stand-in for the game's console window: a top-level window with an input
// line and an output box (both "Edit"), output appended the way the game
// appends, commands run on Enter and logged. The window lives on a thread of
// its own; every member function may be called from any other thread.
//
// By default the window thread behaves like the game's main thread: once per
// frame it pumps its messages, takes the console input from a 512-byte buffer
// with the engine's own arithmetic, runs the commands and prints, then sleeps
// until the next frame. Every message another program sends waits for the
// next pump, and too many commands in one pump cut or overrun the buffer (the
// game's crash), both recorded. The window is visible by default, as the
// game's is at start-up and with viewlog 1: each text set into the input line
// leaves a repaint pending, so a pump goes on for as long as another program
// keeps sending. The instant mode answers every message at once, for tests
// that need a console that is never busy.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace consolesim {

// The game's output box starts over once more than this many characters were
// appended since it last did: the next message replaces the whole text.
constexpr size_t kResetAfterChars = 32767;
// The engine's console input buffer.
constexpr size_t kInputBufferSize = 512;

struct ReceivedCommand {
    uint64_t atMs;  // milliseconds since the window was opened
    std::string text;
};

struct SimOptions {
    int edition = 0;  // index into kGameEditions
    std::string playerName = "UnnamedSoldier";
    // Shown, as at the game's start-up and with viewlog 1; hidden, as while
    // the game's own window is up.
    bool visible = true;
    // Whether the command "name" is run (answered, or the name set).
    bool answersName = true;
    // Frame-paced like the game (default), or answering every message at once.
    bool framePaced = true;
    int framesPerSecond = 60;
    // Mouse moves posted to the window each second, as a player's mouse
    // posts them (a gaming mouse: 1000); each one lengthens a pump.
    int mouseMovesPerSecond = 0;
    // Called on the window thread for every command the game runs, and for
    // every line printed for print().
    std::function<void(const ReceivedCommand&)> onCommand;
    std::function<void(const std::string&)> onPrint;
};

// What went wrong on the game's side of the console.
struct SimFaults {
    bool overrun = false;           // the input buffer overflowed: the game crashed
    std::vector<std::string> cut;   // commands cut short by the input buffer
    size_t mostInOnePump = 0;       // the most bytes one pump left in the input buffer
};

class SimConsole {
public:
    // Opens the window and waits until it exists.
    explicit SimConsole(SimOptions options = {});
    // Closes the window (if still open) and ends its thread.
    ~SimConsole();
    SimConsole(const SimConsole&) = delete;
    SimConsole& operator=(const SimConsole&) = delete;

    HWND window() const;
    HWND input() const;
    HWND output() const;

    // Prints one line (CR LF added) at the window thread's next frame, as the
    // game prints. Never waits for the window.
    void print(const std::string& line);
    // Prints and waits (up to `timeoutMs`) until the line is in the box.
    bool printAndWait(const std::string& line, unsigned timeoutMs = 5000);
    // The map the game answers "mapname" with ("nomap" until one is set).
    void setMap(const std::string& map);

    // The commands the game ran so far, oldest first.
    std::vector<ReceivedCommand> commands() const;
    std::vector<std::string> commandTexts() const;
    // Waits until at least `count` commands were received; true when they were.
    bool waitForCommands(size_t count, unsigned timeoutMs) const;
    // Waits until the command `text` was received; true when it was.
    bool waitForCommand(const std::string& text, unsigned timeoutMs) const;
    SimFaults faults() const;

    // The window thread stops pumping messages for `ms` milliseconds, like a
    // game loading a map. Returns once the pause has begun.
    void pause(unsigned ms);
    // The output box's whole text, read on the window thread.
    std::string outputText() const;
    // Waits until the game's frame in progress has ended: the game runs what
    // it took from its input only after its pump, so a command whose Enter
    // was handled may not have run yet when the sender is gone.
    void waitForFrameEnd() const;
    // Characters appended since the box last started over, and how many
    // times it did.
    size_t appendedSinceStartOver() const;
    uint64_t startOvers() const;
    // The text the box held unread when it started over, oldest first: lines
    // the game itself dropped before anyone read them.
    std::string discardedText() const;
    // Waits until the output box was read twice since the last line was
    // printed: a reader that reads in turn has then handed on all of it.
    bool waitForReader(unsigned timeoutMs) const;
    // Closes the window; the object then only answers from its log.
    void close();
    // Waits until the window is closed (by close(), the user or a crash).
    bool waitUntilClosed(unsigned timeoutMs) const;
    bool isOpen() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace consolesim
