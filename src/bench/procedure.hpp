// Marks a procedure of a benchmark kernel: it stays an out-of-line call, and
// the optimiser may not look into it from its callers (no inlining, no
// constant propagation across the call, no merging), as in the published
// programs where every procedure is a real call.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#define BENCH_PROCEDURE __attribute__((noinline, noipa))
#elif defined(__GNUC__)
#define BENCH_PROCEDURE __attribute__((noinline))
#elif defined(_MSC_VER)
#define BENCH_PROCEDURE __declspec(noinline)
#else
#define BENCH_PROCEDURE
#endif
