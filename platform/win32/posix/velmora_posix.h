// The POSIX calls the program makes, on Windows: every translation unit of the Windows build
// includes this header first (the compiler's -include), so that the same code opens, examines and
// makes files and folders and starts ffmpeg on both systems. Paths stay UTF-8 in the program and
// are widened here, at the system call; every file descriptor is opened in binary mode.
#pragma once
#ifdef __cplusplus
// Headers with members named like the calls below, read before the names are redirected.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#endif
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <limits.h>
#include <process.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#ifdef __cplusplus
// Opening without waiting and without handing the descriptor to child processes is what a
// Windows open always does; the flags exist so that the same calls compile.
#define O_NONBLOCK 0x100000
#define O_CLOEXEC 0x200000
#define O_NOCTTY 0x400000
#define F_GETFL 3
#define F_SETFL 4
#define F_SETPIPE_SZ 1031  // the pipe is made 1 MiB large already
#define SIGPIPE 13
#define SIGALRM 14
#define STDIN_FILENO 0
#define STDOUT_FILENO 1
#define STDERR_FILENO 2

int velmoraOpen(const char* path, int flags, int mode = 0);
int velmoraFcntl(int fd, int command, int value = 0);
int velmoraStat(const char* path, struct stat* info);
int velmoraMkdir(const char* path, int mode);
int velmoraChdir(const char* path);
char* velmoraGetcwd(char* buffer, size_t size);
int velmoraAccess(const char* path, int mode);
ssize_t velmoraReadlink(const char* path, char* buffer, size_t size);
int velmoraPipe2(int fds[2], int flags);
FILE* velmoraFopen(const char* path, const char* mode);
namespace std {
using ::velmoraFopen;
}

#define open(...) velmoraOpen(__VA_ARGS__)
#define fcntl(...) velmoraFcntl(__VA_ARGS__)
#define stat(path, info) velmoraStat(path, info)
#define mkdir(...) velmoraMkdir(__VA_ARGS__)
#define chdir(path) velmoraChdir(path)
#define getcwd(buffer, size) velmoraGetcwd(buffer, size)
#define access(path, mode) velmoraAccess(path, mode)
#define readlink(path, buffer, size) velmoraReadlink(path, buffer, size)
#define pipe2(fds, flags) velmoraPipe2(fds, flags)
#define fopen(path, mode) velmoraFopen(path, mode)

// Signal sets and sigaction, for the calls that set up handlers and spawned programs' defaults.
typedef unsigned long sigset_t;
struct sigaction {
    void (*sa_handler)(int);
    sigset_t sa_mask;
    int sa_flags;
};
inline int sigemptyset(sigset_t* set)
{
    *set = 0;
    return 0;
}
inline int sigaddset(sigset_t* set, int signal)
{
    *set |= 1ul << signal;
    return 0;
}
// SIGINT's handler is called from a console control handler: Ctrl+C, Ctrl+Break and closing the
// console (which then waits for the program to end). Windows sends no SIGTERM.
int sigaction(int signal, const struct sigaction* action, struct sigaction* old);

// SIGALRM and alarm() as a watchdog: after the seconds the handler runs on a timer thread. Other
// signals go to the C runtime's signal().
typedef void (*velmoraSignalHandler)(int);
velmoraSignalHandler velmoraSignal(int signal, velmoraSignalHandler handler);
unsigned alarm(unsigned seconds);
namespace std {
using ::velmoraSignal;
}
#define signal(number, handler) velmoraSignal(number, handler)
// Makes a new folder named by the pattern with its trailing XXXXXX replaced; the pattern or null.
char* mkdtemp(char* pattern);
// Makes and opens a new file named by the pattern, its XXXXXX before the last suffixLength
// characters replaced; the descriptor or -1.
int mkstemps(char* pattern, int suffixLength);
// The full path of an existing file or folder, with forward slashes (malloc'd when resolved is
// null); null when it does not exist. Windows files carry no POSIX mode: fchmod does nothing.
char* realpath(const char* path, char* resolved);
inline int fchmod(int, int)
{
    return 0;
}
// A read-only stream over the bytes (a temporary file that goes when it is closed).
FILE* fmemopen(void* buffer, size_t size, const char* mode);

// The number of processors, for the benchmark's facts (clock_gettime comes from winpthreads).
#define _SC_NPROCESSORS_ONLN 84
long velmoraSysconf(int name);
// Sets the variable for this process and the programs it starts (SDL reads the process's).
int setenv(const char* name, const char* value, int overwrite);
#define sysconf(name) velmoraSysconf(name)
#endif
