// posix_spawn on Windows, as far as capturing needs it: the child's standard input from one of our
// descriptors or from NUL, its output to NUL, its errors appended to a file, and its own process
// group so that Ctrl+C reaches only this program. The "pid" is the process id; waitpid waits for it.
#pragma once
#include <signal.h>
#include <string>
#include <vector>

#include <sys/types.h>  // pid_t

struct posix_spawn_file_actions_t {
    int inputFd = -1;          // dup2'd onto standard input; -1: NUL
    std::string errorLogPath;  // standard error appended here; empty: NUL
};
struct posix_spawnattr_t {
    short flags = 0;
};
#define POSIX_SPAWN_SETPGROUP 0x02
#define POSIX_SPAWN_SETSIGDEF 0x04
#define POSIX_SPAWN_SETSIGMASK 0x08

int posix_spawn_file_actions_init(posix_spawn_file_actions_t* actions);
int posix_spawn_file_actions_destroy(posix_spawn_file_actions_t* actions);
int posix_spawn_file_actions_adddup2(posix_spawn_file_actions_t* actions, int fd, int target);
int posix_spawn_file_actions_addopen(posix_spawn_file_actions_t* actions, int target, const char* path, int flags,
                                     int mode);
int posix_spawnattr_init(posix_spawnattr_t* attributes);
int posix_spawnattr_destroy(posix_spawnattr_t* attributes);
int posix_spawnattr_setsigdefault(posix_spawnattr_t* attributes, const sigset_t* set);
int posix_spawnattr_setsigmask(posix_spawnattr_t* attributes, const sigset_t* set);
int posix_spawnattr_setpgroup(posix_spawnattr_t* attributes, pid_t group);
int posix_spawnattr_setflags(posix_spawnattr_t* attributes, short flags);
int posix_spawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                const posix_spawnattr_t* attributes, char* const argv[], char* const envp[]);
