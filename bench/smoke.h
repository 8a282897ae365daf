// The smoke run: the test command runs every benchmark once with
// ZEMBLA_BENCH_SMOKE=1 in its environment, so that none rots or hangs
// unnoticed. Then each benchmark does the least work that still runs all of
// its code: one iteration (the test command checks that every benchmark
// reports exactly one) at a tiny size; its figures mean nothing.
//
// The benchmark main (bench_main.cpp) already sets a tiny minimum time for
// every benchmark; one that fixes its own count or time, or makes its input,
// takes them through these:
//   ->Iterations(bench_smoke::iterations(300))
//   ->MinTime(bench_smoke::min_time(2.0))
//   const int side = bench_smoke::work(2048, 64);
#pragma once

#include <cstdlib>
#include <cstring>

namespace bench_smoke {

inline bool on() {
    static const bool set = [] {
        const char* value = std::getenv("ZEMBLA_BENCH_SMOKE");
        return value && *value && std::strcmp(value, "0") != 0;
    }();
    return set;
}

// `n` iterations, or one in the smoke run.
inline int iterations(int n) { return on() ? 1 : n; }

// `seconds`, or a time so short that one iteration passes it.
inline double min_time(double seconds) { return on() ? 1e-9 : seconds; }

// `full` (a size, a count, a duration), or `tiny` in the smoke run.
template <typename T>
T work(T full, T tiny) {
    return on() ? tiny : full;
}

}  // namespace bench_smoke
