// A temporary folder for one test, removed afterwards.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/vorbix-test.XXXXXX";
        root_ = ::mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + root_ + "'").c_str()); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& name) const { return root_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    bool exists(const std::string& name) const { return ::access(path(name).c_str(), F_OK) == 0; }
    void mkdir(const std::string& name) const { ::mkdir(path(name).c_str(), 0755); }

private:
    std::string root_;
};

// Runs the test body with `dir` as the current directory.
class ScopedChdir {
public:
    explicit ScopedChdir(const std::string& dir) {
        char buf[4096];
        old_ = ::getcwd(buf, sizeof buf) ? buf : "/";
        if (::chdir(dir.c_str()) != 0) std::abort();
    }
    ~ScopedChdir() { (void)::chdir(old_.c_str()); }

private:
    std::string old_;
};
