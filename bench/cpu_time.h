// What the client benchmarks measure with: CPU seconds from getrusage and
// the median of rounds (the machine is noisy; medians of alternating rounds
// are what the benchmarks report).
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <vector>

namespace tolv::bench {

// CPU seconds of RUSAGE_SELF or RUSAGE_CHILDREN, user and/or system time.
inline double cpu_seconds(int who = RUSAGE_SELF, bool user = true, bool system = true) {
    rusage usage{};
    getrusage(who, &usage);
    double seconds = 0;
    if (user) seconds += static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    if (system)
        seconds += static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    return seconds;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace tolv::bench
