// Small helpers shared by the benchmark's modes: clocks, CPU time, percentiles and the
// "name value" lines in which a measuring child reports to the parent.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process, so a parent's reading
// before it starts a child compares with the child's readings.
inline std::int64_t monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

inline std::int64_t to_ns(const timeval& tv) {
    return static_cast<std::int64_t>(tv.tv_sec) * 1'000'000'000 +
           static_cast<std::int64_t>(tv.tv_usec) * 1000;
}

// CPU time of this process so far, in nanoseconds.
struct CpuTime {
    std::int64_t user_ns = 0;
    std::int64_t system_ns = 0;
    long waits = 0;  // voluntary context switches: how often the process went to sleep
    std::int64_t total() const { return user_ns + system_ns; }
};
inline CpuTime cpu_time() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return {to_ns(usage.ru_utime), to_ns(usage.ru_stime), usage.ru_nvcsw};
}

// The nearest-rank percentile (0 < p <= 100) of the values; 0 for none.
inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    auto rank = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size()) + 0.999999);
    rank = std::clamp<std::size_t>(rank, 1, values.size());
    return values[rank - 1];
}

inline double median(std::vector<double> values) {
    return percentile(std::move(values), 50);
}

// One line of a child's report on standard output.
inline void report(std::string_view name, double value) {
    std::printf("%.*s %.6f\n", static_cast<int>(name.size()), name.data(), value);
}
inline void report(std::string_view name, std::string_view text) {
    std::printf("%.*s %.*s\n", static_cast<int>(name.size()), name.data(),
                static_cast<int>(text.size()), text.data());
}

}  // namespace bench
