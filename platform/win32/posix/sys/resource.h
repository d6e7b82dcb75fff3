// getrusage on Windows: only the peak resident size, which the benchmark reports.
#pragma once

#define RUSAGE_SELF 0
struct rusage {
    long ru_maxrss;  // KiB, as on Linux
};
int getrusage(int who, struct rusage* usage);
