// Processes and folders for the end-to-end tests (Windows side).
#pragma once

#include <windows.h>

#include <string>

// The folder of the running test program, where the build puts vorbix.exe,
// vorbixstats.exe and consolesim.exe too.
std::string exeDir();
// A file of the source tree, as a Windows path.
std::string sourcePath(const std::string& relative);

// A fresh folder under %TEMP%, removed with its contents afterwards.
class TestDir {
public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    void mkdir(const std::string& name) const;
    // Copies a file or a whole folder of the source tree into this folder.
    void copyFromSource(const std::string& relative, const std::string& name) const;

private:
    std::string path_;
};

struct CapturedRun {
    std::string output;  // standard output, bytes as written
    DWORD exitCode = 0;
    bool finished = false;
};

// Runs `commandLine` in `directory` and collects its standard output.
CapturedRun runAndCapture(const std::string& commandLine, const std::string& directory, DWORD timeoutMs = 30000);
