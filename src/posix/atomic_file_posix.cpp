#include "core/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

bool writeFileAtomically(const char* path, const void* data, size_t size) {
    std::string temp = std::string(path) + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, bytes + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    bool ok = done == size && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path) == 0) return true;
    std::remove(temp.c_str());
    return false;
}
