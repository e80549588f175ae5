// The game's log on Windows. The file is opened for one look at a time,
// sharing read, write and delete, so the game can always write, empty
// (fopen "wb"), rename or delete it; holding it open in between could leave a
// deleted log pending and stop the next game from making a new one. A change
// notification on the folder wakes the follower; Windows may report a write
// only once it reaches the disk, so the follower keeps looking on a timer too.
#include <windows.h>

#include "console/log_file.h"

namespace {

constexpr DWORD kWatchFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

bool readAt(HANDLE file, uint64_t offset, size_t count, std::string& out) {
    out.resize(count);
    size_t got = 0;
    while (got < count) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + got);
        at.OffsetHigh = static_cast<DWORD>((offset + got) >> 32);
        DWORD n = 0;
        const DWORD ask = count - got > 0x100000 ? 0x100000 : static_cast<DWORD>(count - got);
        if (!ReadFile(file, &out[got], ask, &n, &at) || n == 0) break;
        got += n;
    }
    out.resize(got);
    return true;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash + 1);
}

// The file's index on its volume (FileInternalInformation); 0 when unknown,
// which leaves telling a replaced file to its size and first bytes.
uint64_t fileIndex(HANDLE file) {
    using Query = LONG(WINAPI*)(HANDLE, void*, void*, ULONG, int);
    static const Query query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    constexpr int kFileInternalInformation = 6;
    struct {
        ULONG_PTR status[2];  // IO_STATUS_BLOCK
    } io{};
    LARGE_INTEGER index{};
    if (query == nullptr || query(file, &io, &index, sizeof index, kFileInternalInformation) < 0) return 0;
    return static_cast<uint64_t>(index.QuadPart);
}

int64_t unixSeconds(const FILETIME& time) {
    const uint64_t ticks = (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

}  // namespace

void lookAtLogFile(const std::string& path, uint64_t offset, size_t count, LogLook& look, std::string& data) {
    look = LogLook{};
    data.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    // The size through a handle is the file's own; the folder's entry for a
    // file held open may lag behind it. These queries are the cheap ones:
    // under Wine GetFileInformationByHandle costs about 0.2 ms, ten looks'
    // worth, for the volume it names.
    FILE_STANDARD_INFO standard;
    FILETIME written;
    if (GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) && !standard.Directory &&
        !standard.DeletePending && GetFileTime(file, nullptr, nullptr, &written)) {
        look.exists = true;
        look.identity = fileIndex(file);
        look.size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
        look.modified = unixSeconds(written);
        readAt(file, 0, kLogHeadSize, look.head);
        if (count > 0 && offset < look.size) readAt(file, offset, count, data);
    }
    CloseHandle(file);
}

struct LogWatch {
    std::string folder;
    HANDLE change = INVALID_HANDLE_VALUE;
    HANDLE wake = nullptr;
};

LogWatch* startLogWatch(const std::string& logPath) {
    LogWatch* watch = new LogWatch;
    watch->folder = folderOf(logPath);
    watch->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    watch->change = FindFirstChangeNotificationA(watch->folder.c_str(), FALSE, kWatchFilter);
    return watch;
}

bool waitForLogChange(LogWatch* watch, unsigned timeoutMs) {
    // A folder the game has not made yet is watched once it exists.
    if (watch->change == INVALID_HANDLE_VALUE)
        watch->change = FindFirstChangeNotificationA(watch->folder.c_str(), FALSE, kWatchFilter);
    HANDLE handles[2] = {watch->wake, watch->change};
    const DWORD count = watch->change != INVALID_HANDLE_VALUE ? 2 : 1;
    const DWORD woke = WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
    if (woke == WAIT_OBJECT_0 + 1 && !FindNextChangeNotification(watch->change)) {
        // The folder went away: watch it again once it is back.
        FindCloseChangeNotification(watch->change);
        watch->change = INVALID_HANDLE_VALUE;
    }
    return woke == WAIT_OBJECT_0 || woke == WAIT_OBJECT_0 + 1;
}

bool logWatchReports(LogWatch* watch) { return watch->change != INVALID_HANDLE_VALUE; }

void wakeLogWatch(LogWatch* watch) { SetEvent(watch->wake); }

void stopLogWatch(LogWatch* watch) {
    if (watch->change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(watch->change);
    if (watch->wake) CloseHandle(watch->wake);
    delete watch;
}
