#include "consolesim/sim_window.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "console/editions.h"

namespace consolesim {

namespace {

// Posted to the console window by other threads.
constexpr UINT kDrainPrints = WM_APP + 1;
constexpr UINT kPause = WM_APP + 2;

// The game keeps only this many characters of one message.
constexpr size_t kLongestMessage = 16383;
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
    uint64_t pausesBegun = 0;
    std::vector<ReceivedCommand> received;
    // Copies of the window thread's start-over state, for other threads.
    size_t appendedCount = 0;
    uint64_t startOvers = 0;
    std::string discarded;

    // Window thread only.
    size_t appendedSinceReset = 0;
    std::string playerName;

    std::thread thread;
};

namespace {

using State = SimConsole::State;

State* stateOf(HWND window) { return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
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
        discarded = windowText(output);
        SendMessageA(output, EM_SETSEL, 0, -1);
        state.appendedSinceReset = 0;
    }
    state.appendedSinceReset += message.size();
    SendMessageA(output, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(message.c_str()));
    SendMessageA(output, EM_SCROLLCARET, 0, 0);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.appendedCount = state.appendedSinceReset;
    if (startOver) {
        ++state.startOvers;
        state.discarded += discarded;
    }
}

void printLine(State& state, const std::string& line) { appendMessage(state, line + "\r\n"); }

bool equalsIgnoringCase(const std::string& a, const char* b) {
    return lstrcmpiA(a.c_str(), b) == 0;
}

// Runs a received command. Only "name" does something the companion sees.
void runCommand(State& state, const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return;
    size_t end = text.find_first_of(" \t", start);
    std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
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

void onEnter(State& state) {
    std::string text = windowText(state.input);
    SetWindowTextA(state.input, "");
    printLine(state, "]" + text);
    ReceivedCommand command{
        static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - state.openedAt).count()),
        text};
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.received.push_back(command);
    }
    state.changed.notify_all();
    if (state.options.onCommand) state.options.onCommand(command);
    runCommand(state, text);
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
        layout(*state);
        return 0;
    }
    case WM_SIZE:
        if (state && state->output) layout(*state);
        return 0;
    case WM_SETFOCUS:
        if (state && state->input) SetFocus(state->input);
        return 0;
    case kDrainPrints: {
        std::deque<std::string> lines;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            lines.swap(state->pendingPrints);
        }
        for (const std::string& line : lines) printLine(*state, line);
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            state->printsDone += lines.size();
        }
        state->changed.notify_all();
        return 0;
    }
    case kPause: {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            ++state->pausesBegun;
        }
        state->changed.notify_all();
        Sleep(static_cast<DWORD>(wParam));
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void runWindow(State* state) {
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

    HWND window = CreateWindowExA(0, game.windowClass, game.title,
                                  WS_OVERLAPPEDWINDOW | (state->options.visible ? WS_VISIBLE : 0), CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, state);
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->ready = true;
        state->closed = window == nullptr;
    }
    state->changed.notify_all();

    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->closed = true;
    }
    state->changed.notify_all();
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

void SimConsole::print(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->closed) return;
        state_->pendingPrints.push_back(line);
        ++state_->printsQueued;
    }
    PostMessageA(state_->window, kDrainPrints, 0, 0);
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

void SimConsole::pause(unsigned ms) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    if (state_->closed) return;
    uint64_t target = state_->pausesBegun + 1;
    PostMessageA(state_->window, kPause, ms, 0);
    state_->changed.wait_for(lock, std::chrono::seconds(10),
                             [&] { return state_->pausesBegun >= target || state_->closed; });
}

std::string SimConsole::outputText() const {
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

bool SimConsole::isOpen() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return !state_->closed;
}

}  // namespace consolesim
