// waitpid for the programs posix_spawn started (see spawn.h).
#pragma once
#include <sys/types.h>

int waitpid(int pid, int* status, int options);
#define WIFEXITED(status) 1
#define WEXITSTATUS(status) (status)
