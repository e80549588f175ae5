// enginesim: a stand-in for the open-source engine whose standard input is
// not a terminal, for running the native companion without the game.
//
//   enginesim [--name NAME] [--replay FILE] [--speed X] [--log FILE]
//             [--fps N] [--quit-after-replay] [--latency FILE]
//             [--logfile PATH [--logmode 1|2] [--log-timestamps 0|1]]
//
// Once a frame (60 a second by default) it does what the engine's CON_Input
// does (code/sys/con_tty.c): one non-blocking read() of at most 256 bytes
// from standard input, whose last byte it takes for the line feed and
// overwrites; the text runs as commands, split at line feeds and at
// semicolons outside quotes (code/qcommon/cmd.c). It is stricter than the
// engine, which reads again while input is waiting: here whatever was
// waiting beyond the 256 bytes waits for the next frame, and a read that
// ends inside a line cuts that line as the engine would. Every print goes
// to standard error, control bytes included. End of input ends the program
// (the engine would run on without input), so no stand-in outlives its
// companion.
//
// Commands: "name" is answered with "\"name\" is:\"X\" default:\"Y\"" (or
// ", the default"); "name X", "set name X" and "seta name X" rename; "echo"
// prints its text, "say" prints it as the player's chat, "exec F" prints
// "execing F"; "map M" loads a map: no frame for a second, then the
// "CL_InitCGame:" line; "mapname" is answered with "\"mapname\" is:\"M\""
// (the engine's read-only variable, "nomap" before any map); "quit" ends the
// program. Other commands do nothing but are logged like every command.
//
// --replay prints the file's lines as the game printed them: "#delay MS"
// waits MS milliseconds divided by --speed, "# " starts a comment, "#stall MS"
// stops reading input for MS real milliseconds while frames and prints go on;
// "#map M" makes M the map "mapname" answers with (the replayed map load's);
// every other line is printed byte for byte. --quit-after-replay ends the
// program after the last line, as a game the player quits.
//
// --log appends one line per command run: milliseconds since the start, a
// tab, the command. A read that ended inside a line is a fault, logged as the
// milliseconds, a tab, "!cut " and the bytes read (line feeds as "\n").
//
// --latency appends, for each replayed line printed while no input was
// waiting, the microseconds until the first input arrived after it (checked
// between frames, not only at the next read).
//
// --logfile writes every print to PATH as well, the way the engine's
// "logfile" cvar does (Com_Printf, code/qcommon/common.c): the file is
// emptied and starts with the engine's "logfile opened on" lines; each print
// that begins a line gets the stamp "[YYYY-mm-dd HH:MM:SS UTC+h.hhh] " unless
// --log-timestamps is 0; --logmode 1 writes through a stdio buffer, 2 (the
// default) writes each piece at once, the stamp in five pieces as the engine
// does. The replay then knows two more directives: "#piece TEXT" prints TEXT
// without a line end (the next print goes on on its line, unstamped), and
// "#restart-log" closes the file and 200 ms later empties it and starts it
// again, as the next run of the game does. When it ends it prints the engine's shutdown lines.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// CON_Input's buffer: MAX_EDIT_LINE in code/qcommon/qcommon.h.
constexpr size_t kReadSize = 256;
constexpr auto kMapLoadTime = milliseconds(1000);
constexpr auto kRestartTime = milliseconds(200);

struct Options {
    std::string name;
    std::string replayFile;
    double speed = 1.0;
    std::string logFile;
    int framesPerSecond = 60;
    bool quitAfterReplay = false;
    std::string latencyFile;
    std::string consoleLogFile;
    int consoleLogMode = 2;
    bool consoleLogTimestamps = true;
};

struct ReplayStep {
    enum Kind { kPrint, kDelay, kStall, kPiece, kRestartLog, kMap } kind;
    std::string text;  // kPrint
    double ms = 0;     // kDelay, kStall
};

struct Engine {
    Options options;
    std::string name;
    std::string defaultName;
    std::string map = "nomap";
    Clock::time_point start = Clock::now();
    std::FILE* log = nullptr;
    std::FILE* latency = nullptr;
    bool running = true;

    std::vector<ReplayStep> replay;
    size_t nextStep = 0;
    Clock::time_point nextStepAt = start;
    Clock::time_point readAgainAt = start;  // input stalled until then

    std::optional<Clock::time_point> unansweredPrint;  // a replayed line no input has followed yet
};

unsigned long long msSinceStart(const Engine& engine) {
    return static_cast<unsigned long long>(
        std::chrono::duration_cast<milliseconds>(Clock::now() - engine.start).count());
}

void logLine(Engine& engine, const std::string& text) {
    if (!engine.log) return;
    std::fprintf(engine.log, "%llu\t%s\n", msSinceStart(engine), text.c_str());
    std::fflush(engine.log);
}

// The engine's qconsole.log, when --logfile asks for it.
struct ConsoleLog {
    std::FILE* file = nullptr;
    bool timestamps = true;
    bool atLineStart = true;  // the last print ended its line: the next is stamped
};
ConsoleLog consoleLog;

void writeLog(const std::string& piece) { std::fwrite(piece.data(), 1, piece.size(), consoleLog.file); }

void logPrint(const std::string& text) {
    if (!consoleLog.file || text.empty()) return;
    if (consoleLog.timestamps && consoleLog.atLineStart) {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        std::tm utc{};
        localtime_r(&now, &local);
        gmtime_r(&now, &utc);
        const double hours = std::difftime(now, std::mktime(&utc)) / 60.0 / 60.0;
        char when[26];
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
        char zone[32];
        std::snprintf(zone, sizeof zone, hours >= 0 ? "UTC+%.03f" : "UTC%.03f", hours);
        writeLog("[");
        writeLog(when);
        writeLog(" ");
        writeLog(zone);
        writeLog("] ");
    }
    consoleLog.atLineStart = text.back() == '\n';
    writeLog(text);
}

// One print: to standard error and, when kept, the log.
void printText(const std::string& text) {
    ssize_t written = write(STDERR_FILENO, text.data(), text.size());
    (void)written;
    logPrint(text);
}

void print(const std::string& line) { printText(line + "\n"); }

// Empties the log (fopen "wb") and prints what the engine prints on opening it.
bool openConsoleLog(const Options& options) {
    if (consoleLog.file) {
        std::fclose(consoleLog.file);
        std::this_thread::sleep_for(kRestartTime);  // the game ends and starts again
    }
    consoleLog.file = std::fopen(options.consoleLogFile.c_str(), "wb");
    if (!consoleLog.file) return false;
    if (options.consoleLogMode > 1) std::setvbuf(consoleLog.file, nullptr, _IONBF, 0);
    consoleLog.timestamps = options.consoleLogTimestamps;
    consoleLog.atLineStart = true;
    const std::time_t now = std::time(nullptr);
    print("logfile opened on " + std::string(std::asctime(std::localtime(&now))));
    print("=> game is version OpenMoHAA enginesim");
    print("=> targeting game ID 0");
    return true;
}

// A fault record stays on one line of the log.
std::string escaped(const std::string& bytes) {
    std::string out;
    for (char c : bytes) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

size_t inputWaiting() {
    int waiting = 0;
    return ioctl(STDIN_FILENO, FIONREAD, &waiting) == 0 && waiting > 0 ? static_cast<size_t>(waiting) : 0;
}

// Cmd_TokenizeString, enough for these commands: blanks separate, double
// quotes group.
std::vector<std::string> tokenize(const std::string& command) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && static_cast<unsigned char>(command[i]) <= ' ') ++i;
        if (i >= command.size()) break;
        std::string word;
        if (command[i] == '"') {
            size_t close = command.find('"', i + 1);
            word = command.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
            i = close == std::string::npos ? command.size() : close + 1;
        } else {
            while (i < command.size() && static_cast<unsigned char>(command[i]) > ' ') word += command[i++];
        }
        words.push_back(word);
    }
    return words;
}

std::string argumentsFrom(const std::vector<std::string>& words, size_t first) {
    std::string text;
    for (size_t i = first; i < words.size(); ++i) text += (i > first ? " " : "") + words[i];
    return text;
}

void loadMap() {
    std::this_thread::sleep_for(kMapLoadTime);  // no frame, no read, no print
    print("------- Sound Begin Registration -------");
    print("CL_InitCGame:  1.00 seconds");
}

void runCommand(Engine& engine, const std::string& command) {
    const std::vector<std::string> words = tokenize(command);
    if (words.empty()) return;
    const std::string& verb = words[0];
    if (verb == "name" && words.size() == 1) {
        if (engine.name == engine.defaultName)
            print("\"name\" is:\"" + engine.name + "\", the default");
        else
            print("\"name\" is:\"" + engine.name + "\" default:\"" + engine.defaultName + "\"");
    } else if (verb == "name") {
        engine.name = words[1];
    } else if ((verb == "set" || verb == "seta") && words.size() >= 3 && words[1] == "name") {
        engine.name = words[2];
    } else if (verb == "echo") {
        print(argumentsFrom(words, 1));
    } else if (verb == "say") {
        print("\x02" + engine.name + ": " + argumentsFrom(words, 1));
    } else if (verb == "exec" && words.size() >= 2) {
        print("execing " + words[1] + (words[1].find('.') == std::string::npos ? ".cfg" : ""));
    } else if (verb == "map" && words.size() >= 2) {
        engine.map = words[1];
        loadMap();
    } else if (verb == "mapname" && words.size() == 1) {
        print("\"mapname\" is:\"" + engine.map + "\"");
    } else if (verb == "quit") {
        engine.running = false;
    }
}

// Cbuf_Execute: commands end at a line feed, or at a semicolon outside quotes.
void runText(Engine& engine, const std::string& text) {
    size_t begin = 0;
    bool quoted = false;
    for (size_t i = 0; i <= text.size() && engine.running; ++i) {
        if (i < text.size() && text[i] == '"') quoted = !quoted;
        const bool end = i == text.size() || text[i] == '\n' || (text[i] == ';' && !quoted);
        if (!end) continue;
        if (i < text.size() && text[i] == '\n') quoted = false;
        runCommand(engine, text.substr(begin, i - begin));
        begin = i + 1;
    }
}

// One frame's input, as CON_Input takes it when standard input is no terminal.
void readInput(Engine& engine) {
    char text[kReadSize];
    ssize_t length = read(STDIN_FILENO, text, sizeof text);
    if (length == 0) {
        engine.running = false;
        return;
    }
    if (length < 1) return;
    const std::string got(text, static_cast<size_t>(length));
    if (text[length - 1] != '\n') logLine(engine, "!cut " + escaped(got));
    text[length - 1] = '\0';  // "rip off the /n and terminate", whatever that byte was

    // Cbuf_AddText adds the line feed after the text; each line is logged as run.
    const std::string commands(text);
    size_t begin = 0;
    for (size_t lineFeed; begin <= commands.size(); begin = lineFeed + 1) {
        lineFeed = commands.find('\n', begin);
        if (lineFeed == std::string::npos) lineFeed = commands.size();
        const std::string line = commands.substr(begin, lineFeed - begin);
        logLine(engine, line);
        runText(engine, line);
        if (!engine.running) return;
    }
}

bool loadReplay(Engine& engine) {
    std::ifstream in(engine.options.replayFile, std::ios::binary);
    if (!in) return false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 7, "#delay ") == 0)
            engine.replay.push_back({ReplayStep::kDelay, "", std::atof(line.c_str() + 7) / engine.options.speed});
        else if (line.compare(0, 7, "#stall ") == 0)
            engine.replay.push_back({ReplayStep::kStall, "", std::atof(line.c_str() + 7)});
        else if (line.compare(0, 7, "#piece ") == 0 && !engine.options.consoleLogFile.empty())
            engine.replay.push_back({ReplayStep::kPiece, line.substr(7), 0});
        else if (line == "#restart-log" && !engine.options.consoleLogFile.empty())
            engine.replay.push_back({ReplayStep::kRestartLog, "", 0});
        else if (line.compare(0, 5, "#map ") == 0)
            engine.replay.push_back({ReplayStep::kMap, line.substr(5), 0});
        else if (line != "#" && line.compare(0, 2, "# ") != 0)
            engine.replay.push_back({ReplayStep::kPrint, line, 0});
    }
    return true;
}

// Prints what is due this frame.
void replayStep(Engine& engine, Clock::time_point now) {
    while (engine.nextStep < engine.replay.size() && engine.nextStepAt <= now) {
        const ReplayStep& step = engine.replay[engine.nextStep++];
        const auto span = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(step.ms));
        if (step.kind == ReplayStep::kDelay) {
            engine.nextStepAt = now + span;
        } else if (step.kind == ReplayStep::kStall) {
            engine.readAgainAt = now + span;
        } else if (step.kind == ReplayStep::kPiece) {
            printText(step.text);
        } else if (step.kind == ReplayStep::kRestartLog) {
            openConsoleLog(engine.options);
        } else if (step.kind == ReplayStep::kMap) {
            engine.map = step.text;
        } else {
            print(step.text);
            if (engine.latency && inputWaiting() == 0) engine.unansweredPrint = Clock::now();
        }
    }
    if (engine.options.quitAfterReplay && engine.nextStep == engine.replay.size() && engine.nextStepAt <= now)
        engine.running = false;
}

// Sleeps until the next frame; meanwhile notes when input arrives after a
// replayed line.
void waitForFrame(Engine& engine, Clock::time_point frameAt) {
    while (engine.unansweredPrint) {
        const auto left = std::chrono::duration_cast<milliseconds>(frameAt - Clock::now()).count();
        if (left <= 0) return;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, static_cast<int>(left)) <= 0) break;
        const auto waited = Clock::now() - *engine.unansweredPrint;
        std::fprintf(engine.latency, "%lld\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(waited).count()));
        std::fflush(engine.latency);
        engine.unansweredPrint.reset();
    }
    std::this_thread::sleep_until(frameAt);
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--quit-after-replay") {
            options.quitAfterReplay = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        if (option == "--name") options.name = value;
        else if (option == "--replay") options.replayFile = value;
        else if (option == "--speed") options.speed = std::atof(value.c_str());
        else if (option == "--log") options.logFile = value;
        else if (option == "--fps") options.framesPerSecond = std::atoi(value.c_str());
        else if (option == "--latency") options.latencyFile = value;
        else if (option == "--logfile") options.consoleLogFile = value;
        else if (option == "--logmode") options.consoleLogMode = std::atoi(value.c_str());
        else if (option == "--log-timestamps") options.consoleLogTimestamps = value != "0";
        else return false;
    }
    return options.speed > 0 && options.framesPerSecond > 0 && options.framesPerSecond <= 1000 &&
           (options.consoleLogMode == 1 || options.consoleLogMode == 2);
}

}  // namespace

int main(int argc, char** argv) {
    Engine engine;
    if (!parseOptions(argc, argv, engine.options)) {
        std::fprintf(stderr,
                     "usage: enginesim [--name NAME] [--replay FILE] [--speed X] [--log FILE] [--fps N]\n"
                     "                 [--quit-after-replay] [--latency FILE]\n"
                     "                 [--logfile PATH [--logmode 1|2] [--log-timestamps 0|1]]\n");
        return 2;
    }
    engine.defaultName = "UnnamedSoldier#" + std::to_string(getpid() % 100000);
    engine.name = engine.options.name.empty() ? engine.defaultName : engine.options.name;
    if (!engine.options.logFile.empty() && !(engine.log = std::fopen(engine.options.logFile.c_str(), "a"))) {
        std::fprintf(stderr, "enginesim: cannot write %s\n", engine.options.logFile.c_str());
        return 1;
    }
    if (!engine.options.latencyFile.empty() &&
        !(engine.latency = std::fopen(engine.options.latencyFile.c_str(), "a"))) {
        std::fprintf(stderr, "enginesim: cannot write %s\n", engine.options.latencyFile.c_str());
        return 1;
    }
    if (!engine.options.replayFile.empty() && !loadReplay(engine)) {
        std::fprintf(stderr, "enginesim: cannot read %s\n", engine.options.replayFile.c_str());
        return 1;
    }
    // CON_Init: input is read without waiting, and said to be no terminal.
    fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    print("tty console mode disabled");
    // The log opens later in the engine's start-up, once its file system is up.
    if (!engine.options.consoleLogFile.empty() && !openConsoleLog(engine.options)) {
        std::fprintf(stderr, "enginesim: cannot write %s\n", engine.options.consoleLogFile.c_str());
        return 1;
    }

    const auto frame = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
                       engine.options.framesPerSecond;
    Clock::time_point frameAt = Clock::now();
    while (engine.running) {
        const Clock::time_point now = Clock::now();
        if (now >= engine.readAgainAt) readInput(engine);
        if (engine.running) replayStep(engine, now);
        frameAt += frame;
        if (frameAt < Clock::now()) frameAt = Clock::now();  // a late frame is not made up for
        if (engine.running) waitForFrame(engine, frameAt);
    }
    if (consoleLog.file) {
        // Com_Quit_f: the client's shutdown, then the log is closed.
        print("----- Client Shutdown (Client quit) -----");
        print("-----------------------");
        std::fclose(consoleLog.file);
    }
    if (engine.log) std::fclose(engine.log);
    if (engine.latency) std::fclose(engine.latency);
    return 0;
}
