#include "support/process.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::string exeDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/"));
}

std::string sourcePath(const std::string& relative) {
    std::string p = std::string("Z:") + VORBIX_SOURCE_DIR + "/" + relative;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

namespace {

void removeTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

void copyTree(const std::string& from, const std::string& to) {
    DWORD attributes = GetFileAttributesA(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CopyFileA(from.c_str(), to.c_str(), FALSE);
        return;
    }
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") copyTree(from + "\\" + name, to + "\\" + name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

}  // namespace

TestDir::TestDir() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    for (;;) {
        path_ = std::string(temp) + "vorbix-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial);
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

TestDir::~TestDir() { removeTree(path_); }

void TestDir::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
}

std::string TestDir::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool TestDir::exists(const std::string& name) const {
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TestDir::mkdir(const std::string& name) const { CreateDirectoryA(file(name).c_str(), nullptr); }

void TestDir::copyFromSource(const std::string& relative, const std::string& name) const {
    copyTree(sourcePath(relative), file(name));
}

CapturedRun runAndCapture(const std::string& commandLine, const std::string& directory, DWORD timeoutMs) {
    CapturedRun result;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string mutableLine = commandLine;
    BOOL started = CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  directory.c_str(), &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return result;
    }
    // Reads only what is there (until the program closed its end), so a
    // program that hangs is ended at the timeout instead of blocking the test.
    const DWORD start = GetTickCount();
    char buf[4096];
    DWORD available = 0, got = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && GetTickCount() - start < timeoutMs) {
        if (available > 0 && ReadFile(readEnd, buf, sizeof buf, &got, nullptr))
            result.output.append(buf, got);
        else
            Sleep(10);
    }
    CloseHandle(readEnd);
    const DWORD spent = GetTickCount() - start;
    result.finished =
        WaitForSingleObject(process.hProcess, spent < timeoutMs ? timeoutMs - spent : 0) == WAIT_OBJECT_0;
    if (!result.finished) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}
