// The POSIX calls of posix/velmora_posix.h, spawn.h, sys/wait.h and sys/resource.h on Windows.
// UTF-8 paths are widened at the system call; descriptors are binary and not inherited.
#include <windows.h>
//
#include <psapi.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>

#include "platform/win32/win32.h"

#undef open
#undef fcntl
#undef stat
#undef mkdir
#undef chdir
#undef getcwd
#undef access
#undef readlink
#undef pipe2
#undef fopen
#undef sysconf
#undef signal

std::wstring winWide(const char* utf8)
{
    if (utf8 == nullptr || *utf8 == '\0') {
        return std::wstring();
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (length <= 0) {
        // Not UTF-8: take the bytes as the ANSI code page's, as a narrow call would.
        const int ansi = MultiByteToWideChar(CP_ACP, 0, utf8, -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(ansi > 0 ? ansi : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, utf8, -1, wide.data(), ansi);
        wide.resize(wcslen(wide.c_str()));
        return wide;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string winUtf8(const wchar_t* wide)
{
    if (wide == nullptr || *wide == L'\0') {
        return std::string();
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
}

namespace {

void setErrnoFromLastError()
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        errno = ENOMEM;
        break;
    default:
        errno = EINVAL;
        break;
    }
}

}  // namespace

int velmoraOpen(const char* path, int flags, int mode)
{
    const std::wstring wide = winWide(path);
    if (wide.empty()) {
        errno = ENOENT;
        return -1;
    }
    DWORD access = GENERIC_READ;
    DWORD creation = OPEN_EXISTING;
    switch (flags & (_O_RDONLY | _O_WRONLY | _O_RDWR)) {
    case _O_WRONLY:
        access = GENERIC_WRITE;
        break;
    case _O_RDWR:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        break;
    }
    if (flags & _O_CREAT) {
        creation = (flags & _O_EXCL) ? CREATE_NEW : (flags & _O_TRUNC) ? CREATE_ALWAYS : OPEN_ALWAYS;
    } else if (flags & _O_TRUNC) {
        creation = TRUNCATE_EXISTING;
    }
    if (flags & _O_APPEND) {
        access = FILE_APPEND_DATA | (access & GENERIC_READ);
    }
    // A folder opens too (as on POSIX), so that it can be told from a file.
    const DWORD attributes =
        FILE_FLAG_BACKUP_SEMANTICS | ((flags & _O_CREAT) && !(mode & _S_IWRITE) ? FILE_ATTRIBUTE_READONLY : 0);
    HANDLE handle = CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                creation, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoFromLastError();
        return -1;
    }
    // The C runtime's fstat calls a folder a regular file: refuse it here, as EISDIR.
    BY_HANDLE_FILE_INFORMATION about{};
    if (GetFileInformationByHandle(handle, &about) && (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        errno = EISDIR;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                   _O_BINARY | (flags & (_O_RDONLY | _O_WRONLY | _O_RDWR | _O_APPEND)));
    if (fd < 0) {
        CloseHandle(handle);
    }
    return fd;
}

int velmoraFcntl(int, int, int)
{
    return 0;
}

int velmoraStat(const char* path, struct stat* info)
{
    struct _stat64 wideInfo {};
    if (_wstat64(winWide(path).c_str(), &wideInfo) != 0) {
        return -1;
    }
    std::memset(info, 0, sizeof *info);
    info->st_mode = wideInfo.st_mode;
    info->st_size = static_cast<_off_t>(wideInfo.st_size > 0x7FFFFFFF ? 0x7FFFFFFF : wideInfo.st_size);
    info->st_mtime = static_cast<time_t>(wideInfo.st_mtime);
    info->st_nlink = wideInfo.st_nlink;
    return 0;
}

int velmoraMkdir(const char* path, int)
{
    return _wmkdir(winWide(path).c_str());
}

int velmoraChdir(const char* path)
{
    return _wchdir(winWide(path).c_str());
}

char* velmoraGetcwd(char* buffer, size_t size)
{
    wchar_t* wide = _wgetcwd(nullptr, 0);
    if (wide == nullptr) {
        return nullptr;
    }
    const std::string utf8 = winUtf8(wide);
    std::free(wide);
    if (utf8.size() + 1 > size) {
        errno = ERANGE;
        return nullptr;
    }
    std::memcpy(buffer, utf8.c_str(), utf8.size() + 1);
    return buffer;
}

int velmoraAccess(const char* path, int mode)
{
    // Windows has no execute bit: a file that exists can be run (the caller checks it is regular).
    return _waccess(winWide(path).c_str(), mode & W_OK);
}

ssize_t velmoraReadlink(const char* path, char* buffer, size_t size)
{
    if (std::strcmp(path, "/proc/self/exe") != 0) {
        errno = EINVAL;
        return -1;
    }
    const std::string exe = winExecutablePath();
    if (exe.empty()) {
        errno = ENOENT;
        return -1;
    }
    const size_t length = exe.size() < size ? exe.size() : size;
    std::memcpy(buffer, exe.data(), length);
    return static_cast<ssize_t>(length);
}

int velmoraPipe2(int fds[2], int)
{
    return _pipe(fds, 1 << 20, _O_BINARY | _O_NOINHERIT);
}

FILE* velmoraFopen(const char* path, const char* mode)
{
    // Always binary: a text-mode stream would turn every 0x0A written into 0x0D 0x0A.
    std::string binary = mode;
    if (binary.find('b') == std::string::npos) {
        binary += 'b';
    }
    return _wfopen(winWide(path).c_str(), winWide(binary.c_str()).c_str());
}

long velmoraSysconf(int name)
{
    if (name != _SC_NPROCESSORS_ONLN) {
        errno = EINVAL;
        return -1;
    }
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return static_cast<long>(system.dwNumberOfProcessors);
}

int setenv(const char* name, const char* value, int overwrite)
{
    const std::wstring wideName = winWide(name);
    if (!overwrite && _wgetenv(wideName.c_str()) != nullptr) {
        return 0;
    }
    const std::wstring wideValue = winWide(value);
    SetEnvironmentVariableW(wideName.c_str(), wideValue.c_str());
    return _wputenv_s(wideName.c_str(), wideValue.c_str()) == 0 ? 0 : -1;
}

std::string winExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    // The rest of the program splits paths at '/'.
    std::string utf8 = winUtf8(path.c_str());
    for (char& c : utf8) {
        if (c == '\\') {
            c = '/';
        }
    }
    return utf8;
}

int getrusage(int, struct rusage* usage)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    usage->ru_maxrss = GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)
                           ? static_cast<long>(counters.PeakWorkingSetSize / 1024)
                           : 0;
    return 0;
}

// ---- Console control -------------------------------------------------------------------------

namespace {

void (*volatile interruptHandler)(int) = nullptr;

BOOL WINAPI onConsoleControl(DWORD event)
{
    void (*handler)(int) = interruptHandler;
    if (handler == nullptr) {
        return FALSE;
    }
    handler(SIGINT);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Returning would end the process at once: wait while the main thread tears down and
        // exits (Windows allows a few seconds).
        Sleep(INFINITE);
    }
    return TRUE;
}

}  // namespace

int sigaction(int signal, const struct sigaction* action, struct sigaction* old)
{
    if (old != nullptr) {
        std::memset(old, 0, sizeof *old);
        old->sa_handler = interruptHandler;
    }
    if (signal != SIGINT) {
        return 0;
    }
    if (action != nullptr) {
        const bool install = interruptHandler == nullptr;
        interruptHandler =
            action->sa_handler == SIG_DFL || action->sa_handler == SIG_IGN ? nullptr : action->sa_handler;
        if (install && interruptHandler != nullptr) {
            SetConsoleCtrlHandler(onConsoleControl, TRUE);
        }
    }
    return 0;
}

namespace {

velmoraSignalHandler alarmHandler = SIG_DFL;
HANDLE alarmTimer = nullptr;

void CALLBACK onAlarmTimer(void*, BOOLEAN)
{
    if (alarmHandler != SIG_DFL && alarmHandler != SIG_IGN) {
        alarmHandler(SIGALRM);
    } else if (alarmHandler == SIG_DFL) {
        _exit(128 + SIGALRM);
    }
}

}  // namespace

velmoraSignalHandler velmoraSignal(int number, velmoraSignalHandler handler)
{
    if (number != SIGALRM) {
        return signal(number, handler);
    }
    velmoraSignalHandler previous = alarmHandler;
    alarmHandler = handler;
    return previous;
}

unsigned alarm(unsigned seconds)
{
    if (alarmTimer != nullptr) {
        DeleteTimerQueueTimer(nullptr, alarmTimer, nullptr);
        alarmTimer = nullptr;
    }
    if (seconds > 0) {
        CreateTimerQueueTimer(&alarmTimer, nullptr, onAlarmTimer, nullptr, seconds * 1000, 0, WT_EXECUTEONLYONCE);
    }
    return 0;
}

char* mkdtemp(char* pattern)
{
    const size_t length = std::strlen(pattern);
    if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed = static_cast<unsigned>(GetTickCount() ^ (GetCurrentProcessId() << 16));
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = length - 6; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            pattern[i] = letters[(seed >> 16) % (sizeof letters - 1)];
        }
        if (_wmkdir(winWide(pattern).c_str()) == 0) {
            return pattern;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

int mkstemps(char* pattern, int suffixLength)
{
    const size_t length = std::strlen(pattern);
    if (suffixLength < 0 || length < 6 + static_cast<size_t>(suffixLength) ||
        std::strncmp(pattern + length - suffixLength - 6, "XXXXXX", 6) != 0) {
        errno = EINVAL;
        return -1;
    }
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned seed = static_cast<unsigned>(GetTickCount() ^ (GetCurrentProcessId() << 16));
    const size_t first = length - suffixLength - 6;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = first; i < first + 6; ++i) {
            seed = seed * 1103515245u + 12345u;
            pattern[i] = letters[(seed >> 16) % (sizeof letters - 1)];
        }
        const int fd = velmoraOpen(pattern, _O_RDWR | _O_CREAT | _O_EXCL, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

char* realpath(const char* path, char* resolved)
{
    const std::wstring wide = winWide(path);
    if (wide.empty() || GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) {
        errno = ENOENT;
        return nullptr;
    }
    wchar_t full[32768];
    const DWORD length = GetFullPathNameW(wide.c_str(), 32768, full, nullptr);
    if (length == 0 || length >= 32768) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    std::string text = winUtf8(full);
    for (char& c : text) {
        c = c == '\\' ? '/' : c;
    }
    if (resolved == nullptr) {
        resolved = static_cast<char*>(std::malloc(text.size() + 1));
        if (resolved == nullptr) {
            errno = ENOMEM;
            return nullptr;
        }
    } else if (text.size() >= MAX_PATH) {
        errno = ENAMETOOLONG;
        return nullptr;
    }
    std::memcpy(resolved, text.c_str(), text.size() + 1);
    return resolved;
}

FILE* fmemopen(void* buffer, size_t size, const char* mode)
{
    if (size == 0 || std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    wchar_t folder[MAX_PATH + 1];
    wchar_t path[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"vel", 0, path) == 0) {
        setErrnoFromLastError();
        return nullptr;
    }
    FILE* stream = _wfopen(path, L"w+bD");
    if (stream == nullptr) {
        return nullptr;
    }
    if (std::fwrite(buffer, 1, size, stream) != size || std::fseek(stream, 0, SEEK_SET) != 0) {
        std::fclose(stream);
        errno = EIO;
        return nullptr;
    }
    return stream;
}

// ---- Processes ------------------------------------------------------------------------------

namespace {

std::map<int, HANDLE> children;

// One argument quoted the way CommandLineToArgvW and the C runtime split them again.
void appendQuoted(std::wstring* line, const std::wstring& argument)
{
    if (!line->empty()) {
        *line += L' ';
    }
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        *line += argument;
        return;
    }
    *line += L'"';
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line->append(backslashes * 2 + 1, L'\\');
        } else {
            line->append(backslashes, L'\\');
        }
        backslashes = 0;
        *line += c;
    }
    line->append(backslashes * 2, L'\\');
    *line += L'"';
}

HANDLE openNul(bool write)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(L"NUL", write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       OPEN_EXISTING, 0, nullptr);
}

}  // namespace

int posix_spawn_file_actions_init(posix_spawn_file_actions_t* actions)
{
    *actions = posix_spawn_file_actions_t();
    return 0;
}

int posix_spawn_file_actions_destroy(posix_spawn_file_actions_t*)
{
    return 0;
}

int posix_spawn_file_actions_adddup2(posix_spawn_file_actions_t* actions, int fd, int target)
{
    if (target != STDIN_FILENO) {
        return EINVAL;
    }
    actions->inputFd = fd;
    return 0;
}

int posix_spawn_file_actions_addopen(posix_spawn_file_actions_t* actions, int target, const char* path, int, int)
{
    if (target == STDERR_FILENO) {
        actions->errorLogPath = path;
    } else if (target == STDIN_FILENO) {
        actions->inputFd = -1;
    }
    // Standard output, and input from "/dev/null", are NUL.
    return 0;
}

int posix_spawnattr_init(posix_spawnattr_t* attributes)
{
    *attributes = posix_spawnattr_t();
    return 0;
}

int posix_spawnattr_destroy(posix_spawnattr_t*)
{
    return 0;
}

int posix_spawnattr_setsigdefault(posix_spawnattr_t*, const sigset_t*)
{
    return 0;
}

int posix_spawnattr_setsigmask(posix_spawnattr_t*, const sigset_t*)
{
    return 0;
}

int posix_spawnattr_setpgroup(posix_spawnattr_t*, pid_t)
{
    return 0;
}

int posix_spawnattr_setflags(posix_spawnattr_t* attributes, short flags)
{
    attributes->flags = flags;
    return 0;
}

int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attributes, char* const argv[], char* const*)
{
    std::wstring line;
    for (size_t i = 0; argv[i] != nullptr; ++i) {
        appendQuoted(&line, winWide(argv[i]));
    }
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE input = INVALID_HANDLE_VALUE;
    if (actions != nullptr && actions->inputFd >= 0) {
        HANDLE ours = reinterpret_cast<HANDLE>(_get_osfhandle(actions->inputFd));
        // A copy the child inherits; our own end stays private to this process.
        if (!DuplicateHandle(GetCurrentProcess(), ours, GetCurrentProcess(), &input, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
            input = INVALID_HANDLE_VALUE;
        }
    } else {
        input = openNul(false);
    }
    HANDLE output = openNul(true);
    HANDLE errors = INVALID_HANDLE_VALUE;
    if (actions != nullptr && !actions->errorLogPath.empty()) {
        errors = CreateFileW(winWide(actions->errorLogPath.c_str()).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
        errors = openNul(true);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION process{};
    // Its own process group: Ctrl+C in the console reaches only us, and we end the recording.
    const DWORD creation =
        CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT |
        ((attributes != nullptr && (attributes->flags & POSIX_SPAWN_SETPGROUP)) ? CREATE_NEW_PROCESS_GROUP : 0);
    const BOOL started = CreateProcessW(winWide(path).c_str(), line.data(), nullptr, nullptr, TRUE, creation, nullptr,
                                        nullptr, &startup, &process);
    const DWORD error = GetLastError();
    for (HANDLE handle : {input, output, errors}) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
    if (!started) {
        SetLastError(error);
        setErrnoFromLastError();
        return errno;
    }
    CloseHandle(process.hThread);
    children[static_cast<int>(process.dwProcessId)] = process.hProcess;
    *pid = static_cast<pid_t>(process.dwProcessId);
    return 0;
}

int waitpid(int pid, int* status, int)
{
    auto child = children.find(pid);
    if (child == children.end()) {
        errno = ECHILD;
        return -1;
    }
    WaitForSingleObject(child->second, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(child->second, &code);
    CloseHandle(child->second);
    children.erase(child);
    *status = static_cast<int>(code);
    return pid;
}
