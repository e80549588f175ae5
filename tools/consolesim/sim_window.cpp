#include "consolesim/sim_window.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "console/editions.h"

namespace consolesim {

namespace {

// Posted to an instant console's window by other threads.
constexpr UINT kDrainPrints = WM_APP + 1;
constexpr UINT kPause = WM_APP + 2;

// The game keeps only this many characters of one message.
constexpr size_t kLongestMessage = 16383;
// The engine reads the input line into a buffer of this size.
constexpr size_t kInputLineSize = 1024;
constexpr const char* kDefaultName = "UnnamedSoldier";

using Clock = std::chrono::steady_clock;

// Edit controls share one window procedure, so one saved original serves
// every input line in the process.
WNDPROC originalEditProc = nullptr;

}  // namespace

struct SimConsole::State {
    SimOptions options;
    Clock::time_point openedAt = Clock::now();

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    HWND window = nullptr;
    HWND input = nullptr;
    HWND output = nullptr;
    bool ready = false;
    bool closed = false;
    std::deque<std::string> pendingPrints;
    uint64_t printsQueued = 0;
    uint64_t printsDone = 0;
    unsigned stallMs = 0;  // frame-paced: a pause asked for, not begun yet
    uint64_t pausesBegun = 0;
    std::vector<ReceivedCommand> received;
    SimFaults faults;
    // Frame-paced: output box copies asked for by other threads.
    mutable uint64_t snapshotsAsked = 0;
    uint64_t snapshotsMade = 0;
    std::string snapshot;
    // Copies of the window thread's start-over state, for other threads.
    size_t appendedCount = 0;
    uint64_t startOvers = 0;
    std::string discarded;
    unsigned readsSincePrint = 0;  // WM_GETTEXT on the output box since it last grew

    // Window thread only.
    size_t appendedSinceReset = 0;
    size_t readUpTo = 0;  // how much of the box the last read took
    bool readingOwnBox = false;  // the window thread reads the output box itself
    std::string playerName;
    std::string mapName = "nomap";  // guarded by mutex
    char consoleText[kInputBufferSize] = {};  // the engine's console input buffer

    std::thread thread;
};

namespace {

using State = SimConsole::State;

State* stateOf(HWND window) { return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

uint64_t msSinceOpened(const State& state) {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.openedAt).count());
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// The output box's text as the window thread itself reads it: no reader's
// read, even while the thread handles a message another program sent (the
// echo of an Enter can start the box over, which reads it).
std::string ownOutputText(State& state) {
    state.readingOwnBox = true;
    std::string text = windowText(state.output);
    state.readingOwnBox = false;
    return text;
}

// Appends one message the way the game does: at the current selection (the
// caret, at the end of the text unless someone moved it), long messages
// keeping only their end; once enough was appended since the last start-over
// the next message replaces the whole box.
void appendMessage(State& state, std::string message) {
    if (message.size() > kLongestMessage) message.erase(0, message.size() - kLongestMessage);
    HWND output = state.output;
    bool startOver = state.appendedSinceReset > kResetAfterChars;
    std::string discarded;
    if (startOver) {
        discarded = ownOutputText(state);
        discarded.erase(0, state.readUpTo < discarded.size() ? state.readUpTo : discarded.size());
        state.readUpTo = 0;
        SendMessageA(output, EM_SETSEL, 0, -1);
        state.appendedSinceReset = 0;
    }
    state.appendedSinceReset += message.size();
    SendMessageA(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(message.c_str()));
    SendMessageA(output, EM_SCROLLCARET, 0, 0);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.appendedCount = state.appendedSinceReset;
    state.readsSincePrint = 0;
    if (startOver) {
        ++state.startOvers;
        state.discarded += discarded;
    }
}

void printLine(State& state, const std::string& line) { appendMessage(state, line + "\r\n"); }

bool equalsIgnoringCase(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

// The engine's tokens of a command line: words split at blanks, a quoted
// string one word without its quotes.
std::vector<std::string> tokens(const std::string& text) {
    std::vector<std::string> words;
    for (size_t i = 0;;) {
        i = text.find_first_not_of(" \t", i);
        if (i == std::string::npos) return words;
        size_t end;
        if (text[i] == '"') {
            end = text.find('"', i + 1);
            words.push_back(text.substr(i + 1, end == std::string::npos ? end : end - i - 1));
            if (end != std::string::npos) ++end;
        } else {
            end = text.find_first_of(" \t", i);
            words.push_back(text.substr(i, end == std::string::npos ? end : end - i));
        }
        if (end == std::string::npos) return words;
        i = end;
    }
}

// "echo" prints its words joined by single blanks; a bare one an empty line.
void runEcho(State& state, const std::vector<std::string>& words) {
    std::string line;
    for (size_t i = 1; i < words.size(); ++i) line += (i > 1 ? " " : "") + words[i];
    printLine(state, line);
}

// Runs one command: logs it; "name", "mapname" and "echo" print what the
// game prints.
void runCommand(State& state, const std::string& text) {
    ReceivedCommand command{msSinceOpened(state), text};
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.received.push_back(command);
    }
    state.changed.notify_all();
    if (state.options.onCommand) state.options.onCommand(command);

    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return;
    size_t end = text.find_first_of(" \t", start);
    std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (equalsIgnoringCase(word, "echo")) return runEcho(state, tokens(text));
    if (equalsIgnoringCase(word, "mapname") && tokens(text).size() == 1) {
        std::string map;
        {
            std::lock_guard<std::mutex> lock(state.mutex);
            map = state.mapName;
        }
        return printLine(state, "\"mapname\" is:\"" + map + "\"");
    }
    if (!equalsIgnoringCase(word, "name") || !state.options.answersName) return;
    size_t argument = end == std::string::npos ? std::string::npos : text.find_first_not_of(" \t", end);
    if (argument == std::string::npos) {
        const std::string& name = state.playerName;
        printLine(state, name == kDefaultName ? "\"name\" is:\"" + name + "\", the default"
                                              : "\"name\" is:\"" + name + "\" default:\"" + kDefaultName + "\"");
        return;
    }
    std::string value = text.substr(argument);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    state.playerName = value;
}

// Enter in a frame-paced console: the engine appends the line and a line feed
// to its input buffer, bounded by `size - length - 5` in unsigned arithmetic.
// Short of room the command is cut; from 508 bytes on the bound wraps and the
// copy runs past the buffer, which crashes the game. False after a crash.
bool appendToInputBuffer(State& state, const char* line) {
    const size_t length = std::strlen(state.consoleText);
    const size_t room = sizeof state.consoleText - length - 5;
    const size_t lineLength = std::strlen(line);
    const size_t copied = lineLength < room ? lineLength : room;
    std::lock_guard<std::mutex> lock(state.mutex);
    if (length + copied + 2 > sizeof state.consoleText) {
        state.faults.overrun = true;
        return false;
    }
    if (copied < lineLength) state.faults.cut.push_back(line);
    std::memcpy(state.consoleText + length, line, copied);
    state.consoleText[length + copied] = '\n';
    state.consoleText[length + copied + 1] = '\0';
    return true;
}

void onEnter(State& state) {
    char line[kInputLineSize];
    GetWindowTextA(state.input, line, sizeof line);
    if (state.options.framePaced && !appendToInputBuffer(state, line)) {
        DestroyWindow(state.window);  // the game is gone
        return;
    }
    SetWindowTextA(state.input, "");
    printLine(state, std::string("]") + line);
    if (!state.options.framePaced) runCommand(state, line);
}

// Notes every read of the output box from another program or thread, to
// tell which lines were read before the game dropped them.
LRESULT CALLBACK outputBoxProc(HWND output, UINT message, WPARAM wParam, LPARAM lParam) {
    State* state = stateOf(GetParent(output));
    const bool fromElsewhere = InSendMessage() != FALSE && state && !state->readingOwnBox;
    LRESULT result = CallWindowProcA(originalEditProc, output, message, wParam, lParam);
    if (message == WM_GETTEXT && fromElsewhere) {
        if (static_cast<size_t>(result) > state->readUpTo) state->readUpTo = static_cast<size_t>(result);
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            ++state->readsSincePrint;
        }
        state->changed.notify_all();
    }
    return result;
}

LRESULT CALLBACK inputLineProc(HWND input, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && wParam == 13) {
        State* state = stateOf(GetParent(input));
        if (state) onEnter(*state);
        return 0;
    }
    return CallWindowProcA(originalEditProc, input, message, wParam, lParam);
}

void layout(State& state) {
    RECT client;
    GetClientRect(state.window, &client);
    int width = client.right - client.left, height = client.bottom - client.top;
    int inputHeight = 22;
    MoveWindow(state.output, 4, 4, width - 8, height - inputHeight - 12, TRUE);
    MoveWindow(state.input, 4, height - inputHeight - 4, width - 8, inputHeight, TRUE);
}

// Prints the lines other threads asked for.
void printPending(State& state) {
    std::deque<std::string> lines;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        lines.swap(state.pendingPrints);
    }
    for (const std::string& line : lines) {
        printLine(state, line);
        if (state.options.onPrint) state.options.onPrint(line);
    }
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.printsDone += lines.size();
    }
    state.changed.notify_all();
}

void beginPause(State& state) {
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        ++state.pausesBegun;
    }
    state.changed.notify_all();
}

LRESULT CALLBACK consoleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    State* state = stateOf(window);
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_CREATE: {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        // The input line is the first "Edit" child, the output box the second.
        state->window = window;
        state->input = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 0,
                                       0, window, nullptr, instance, nullptr);
        state->output = CreateWindowExA(
            0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
            0, 0, 0, 0, window, nullptr, instance, nullptr);
        SendMessageA(state->output, EM_SETLIMITTEXT, 0, 0);
        WNDPROC previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(state->input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inputLineProc)));
        if (!originalEditProc) originalEditProc = previous;
        SetWindowLongPtrA(state->output, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(outputBoxProc));
        layout(*state);
        SetTimer(window, 1, 1000, nullptr);  // the engine's console blinks its error text with it
        return 0;
    }
    case WM_TIMER: return 0;
    case WM_SIZE:
        if (state && state->output) layout(*state);
        return 0;
    case WM_SETFOCUS:
        if (state && state->input) SetFocus(state->input);
        return 0;
    case kDrainPrints: printPending(*state); return 0;
    case kPause:
        beginPause(*state);
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createConsoleWindow(State* state) {
    int edition = state->options.edition;
    if (edition < 0 || edition >= kEditionCount) edition = 0;
    const GameEdition& game = kGameEditions[edition];
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = consoleWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = game.windowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered

    return CreateWindowExA(0, game.windowClass, game.title,
                           WS_OVERLAPPEDWINDOW | (state->options.visible ? WS_VISIBLE : 0), CW_USEDEFAULT,
                           CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, state);
}

// The engine's message pump: every message waiting, sent ones included, is
// handled here and only here. False once the window is gone (WM_QUIT).
bool pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!GetMessageA(&message, nullptr, 0, 0)) return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

// The engine taking its console input after a pump: the whole buffer, emptied.
std::string takeConsoleInput(State& state) {
    std::string text = state.consoleText;
    state.consoleText[0] = '\0';
    return text;
}

void runCommands(State& state, const std::string& text) {
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        runCommand(state, text.substr(start, end - start));
}

void makeSnapshotIfAsked(State& state) {
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.snapshotsAsked == state.snapshotsMade) return;
    }
    std::string text = ownOutputText(state);
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.snapshot = std::move(text);
        state.snapshotsMade = state.snapshotsAsked;
    }
    state.changed.notify_all();
}

unsigned takeStall(State& state) {
    std::lock_guard<std::mutex> lock(state.mutex);
    unsigned ms = state.stallMs;
    state.stallMs = 0;
    return ms;
}

// One frame after another, as the game's main thread runs: pump and take the
// input (again while that yields commands), run the commands, print, sleep.
void runFrames(State& state) {
    const auto period = std::chrono::microseconds(1000000 / (state.options.framesPerSecond > 0
                                                                  ? state.options.framesPerSecond
                                                                  : 60));
    auto nextFrame = Clock::now();
    for (;;) {
        if (unsigned stall = takeStall(state)) {
            beginPause(state);
            Sleep(stall);
        }
        std::string taken;
        for (;;) {
            if (!pumpMessages()) return;
            std::string input = takeConsoleInput(state);
            if (input.empty()) break;
            {
                std::lock_guard<std::mutex> lock(state.mutex);
                state.faults.mostInOnePump = std::max(state.faults.mostInOnePump, input.size());
            }
            taken += input;
        }
        runCommands(state, taken);
        printPending(state);
        makeSnapshotIfAsked(state);

        nextFrame += period;
        auto now = Clock::now();
        if (nextFrame < now - period) nextFrame = now;  // fell behind: no catching up
        if (nextFrame > now)
            Sleep(static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(nextFrame - now).count()));
    }
}

void runInstantly() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The player's mouse: moves posted to the window at an even rate until it
// closes, as many at once as fell due while this thread slept.
void moveMouse(State* state) {
    const int perSecond = state->options.mouseMovesPerSecond;
    const auto start = Clock::now();
    uint64_t posted = 0;
    for (;; Sleep(1)) {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->closed) return;
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const uint64_t due = static_cast<uint64_t>(elapsed) * static_cast<uint64_t>(perSecond) / 1000000;
        for (; posted < due; ++posted)
            PostMessageA(state->window, WM_MOUSEMOVE, 0, MAKELPARAM(posted % 640, posted % 400));
    }
}

void runWindow(State* state) {
    HWND window = createConsoleWindow(state);
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->ready = true;
        state->closed = window == nullptr;
    }
    state->changed.notify_all();
    std::thread mouse;
    if (window && state->options.mouseMovesPerSecond > 0) mouse = std::thread(moveMouse, state);
    if (window) {
        if (state->options.framePaced)
            runFrames(*state);
        else
            runInstantly();
    }
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->closed = true;
    }
    state->changed.notify_all();
    if (mouse.joinable()) mouse.join();
}

}  // namespace

SimConsole::SimConsole(SimOptions options) : state_(std::make_shared<State>()) {
    state_->options = std::move(options);
    state_->playerName = state_->options.playerName;
    state_->thread = std::thread(runWindow, state_.get());
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->changed.wait(lock, [&] { return state_->ready; });
}

SimConsole::~SimConsole() {
    close();
    if (state_->thread.joinable()) state_->thread.join();
}

HWND SimConsole::window() const { return state_->window; }
HWND SimConsole::input() const { return state_->input; }
HWND SimConsole::output() const { return state_->output; }

void SimConsole::setMap(const std::string& map) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->mapName = map;
}

void SimConsole::print(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->closed) return;
        state_->pendingPrints.push_back(line);
        ++state_->printsQueued;
    }
    // A frame-paced game prints at its next frame without being asked.
    if (!state_->options.framePaced) PostMessageA(state_->window, kDrainPrints, 0, 0);
}

bool SimConsole::printAndWait(const std::string& line, unsigned timeoutMs) {
    print(line);
    std::unique_lock<std::mutex> lock(state_->mutex);
    uint64_t target = state_->printsQueued;
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->printsDone >= target || state_->closed; }) &&
           !state_->closed;
}

std::vector<ReceivedCommand> SimConsole::commands() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->received;
}

std::vector<std::string> SimConsole::commandTexts() const {
    std::vector<std::string> texts;
    for (const ReceivedCommand& command : commands()) texts.push_back(command.text);
    return texts;
}

bool SimConsole::waitForCommands(size_t count, unsigned timeoutMs) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [&] { return state_->received.size() >= count; });
}

bool SimConsole::waitForCommand(const std::string& text, unsigned timeoutMs) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const ReceivedCommand& command : state_->received)
            if (command.text == text) return true;
        return false;
    });
}

SimFaults SimConsole::faults() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->faults;
}

void SimConsole::pause(unsigned ms) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    if (state_->closed) return;
    uint64_t target = state_->pausesBegun + 1;
    if (state_->options.framePaced)
        state_->stallMs = ms;
    else
        PostMessageA(state_->window, kPause, ms, 0);
    state_->changed.wait_for(lock, std::chrono::seconds(10),
                             [&] { return state_->pausesBegun >= target || state_->closed; });
}

std::string SimConsole::outputText() const {
    if (state_->options.framePaced) {
        // Asked of the game's thread at its next frame, without a message:
        // another sender would change how the game's pumps go.
        std::unique_lock<std::mutex> lock(state_->mutex);
        uint64_t ask = ++state_->snapshotsAsked;
        state_->changed.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return state_->snapshotsMade >= ask || state_->closed; });
        return state_->snapshotsMade >= ask ? state_->snapshot : std::string();
    }
    HWND output = state_->output;
    DWORD_PTR length = 0;
    if (!output || !SendMessageTimeoutA(output, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(output, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             5000, &copied))
        return {};
    text.resize(copied);
    return text;
}

void SimConsole::waitForFrameEnd() const {
    if (state_->options.framePaced) outputText();
}

void SimConsole::close() {
    if (isOpen()) PostMessageA(state_->window, WM_CLOSE, 0, 0);
}

bool SimConsole::waitUntilClosed(unsigned timeoutMs) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return state_->closed; });
}

size_t SimConsole::appendedSinceStartOver() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->appendedCount;
}

uint64_t SimConsole::startOvers() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->startOvers;
}

std::string SimConsole::discardedText() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->discarded;
}

bool SimConsole::waitForReader(unsigned timeoutMs) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return state_->printsDone == state_->printsQueued && state_->readsSincePrint >= 2;
    });
}

bool SimConsole::isOpen() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return !state_->closed;
}

}  // namespace consolesim
