// The classic Whetstone kernel: modules 1 to 11 (there is no module 5) with
// the constants T = 0.499975, T1 = 0.50025 and T2 = 2.0. Reals are doubles,
// evaluated the way the target evaluates double expressions (in extended
// precision on an x87 target) and rounded to 64 bits when stored.
#include "bench/bench.hpp"
#include "bench/procedure.hpp"

#include <cmath>
#include <cstdint>

namespace whetstone {

// Constants and start values are read through a volatile object once per
// call, so the optimiser cannot compute a module's result in advance and
// drop its loop; the loops themselves work on ordinary variables.
struct StartValues {
    double t, t1, t2;
    double one, minusOne, half, threeQuarters, two, three;
    int32_t j1, k2, l3, j2, k3;
};

const volatile StartValues kStart = {0.499975, 0.50025, 2.0, 1.0, -1.0, 0.5, 0.75, 2.0, 3.0, 1, 2, 3, 2, 3};

// The three constants, set from the start values at the start of each run.
double T = 0;
double T1 = 0;
double T2 = 0;

// End state of every module of the last run, kept as the published program
// printed it after each module. Index 5 stays unused.
WhetstoneState Module_End[12];

// Hides J from the optimiser without emitting any instruction, so that each
// comparison of module 4 is executed as written instead of being folded
// into the constant result it always has.
inline void Unknown(int32_t& value) {
#if defined(__GNUC__)
    __asm__("" : "+r"(value));
#else
    (void)value;
#endif
}

BENCH_PROCEDURE void PA(double* E) {
    int32_t J = 0;
    do {
        E[1] = (E[1] + E[2] + E[3] - E[4]) * T;
        E[2] = (E[1] + E[2] - E[3] + E[4]) * T;
        E[3] = (E[1] - E[2] + E[3] + E[4]) * T;
        E[4] = (-E[1] + E[2] + E[3] + E[4]) / T2;
        J = J + 1;
    } while (J < 6);
}

BENCH_PROCEDURE void P0(double* E1, int32_t J, int32_t K, int32_t L) {
    E1[J] = E1[K];
    E1[K] = E1[L];
    E1[L] = E1[J];
}

BENCH_PROCEDURE void P3(double X, double Y, double* Z) {
    double X1 = T * (X + Y);
    double Y1 = T * (X1 + Y);
    *Z = (X1 + Y1) / T2;
}

} // namespace whetstone

using namespace whetstone;

namespace {

// The largest module count is 899 times the runs.
constexpr int32_t kLargestWhetstoneFactor = 899;

} // namespace

bool WhetstoneRunsInRange(int32_t n) {
    return n <= INT32_MAX / kLargestWhetstoneFactor && n >= INT32_MIN / kLargestWhetstoneFactor;
}

WhetstoneCounts CountWhetstoneLoops(int32_t n) {
    if (!WhetstoneRunsInRange(n)) {
        return WhetstoneCounts{};
    }
    return WhetstoneCounts{0, 12 * n, 14 * n, 345 * n, 210 * n, 32 * n, 899 * n, 616 * n, 0, 93 * n};
}

BENCH_PROCEDURE void RunWhetstoneModules(const WhetstoneCounts& counts) {
    T = kStart.t;
    T1 = kStart.t1;
    T2 = kStart.t2;
    int32_t J = 0, K = 0, L = 0;
    double X1 = 0, X2 = 0, X3 = 0, X4 = 0, X = 0, Y = 0, Z = 0;
    double E1[5] = {0, 0, 0, 0, 0};
    auto keep = [&](int module) {
        Module_End[module] =
            WhetstoneState{J, K, L, X1, X2, X3, X4, X, Y, Z, {0, E1[1], E1[2], E1[3], E1[4]}};
    };

    // Module 1: simple identifiers.
    X1 = kStart.one;
    X2 = X3 = X4 = kStart.minusOne;
    for (int32_t i = 1; i <= counts.module1; ++i) {
        X1 = (X1 + X2 + X3 - X4) * T;
        X2 = (X1 + X2 - X3 + X4) * T;
        X3 = (X1 - X2 + X3 + X4) * T;
        X4 = (-X1 + X2 + X3 + X4) * T;
    }
    keep(1);

    // Module 2: array elements.
    E1[1] = kStart.one;
    E1[2] = E1[3] = E1[4] = kStart.minusOne;
    for (int32_t i = 1; i <= counts.module2; ++i) {
        E1[1] = (E1[1] + E1[2] + E1[3] - E1[4]) * T;
        E1[2] = (E1[1] + E1[2] - E1[3] + E1[4]) * T;
        E1[3] = (E1[1] - E1[2] + E1[3] + E1[4]) * T;
        E1[4] = (-E1[1] + E1[2] + E1[3] + E1[4]) * T;
    }
    keep(2);

    // Module 3: array as parameter.
    for (int32_t i = 1; i <= counts.module3; ++i) {
        PA(E1);
    }
    keep(3);

    // Module 4: conditional jumps.
    J = kStart.j1;
    for (int32_t i = 1; i <= counts.module4; ++i) {
        if (J == 1) {
            J = 2;
        } else {
            J = 3;
        }
        Unknown(J);
        if (J > 1) {
            J = 0;
        } else {
            J = 1;
        }
        Unknown(J);
        if (J < 2) {
            J = 1;
        } else {
            J = 0;
        }
        Unknown(J);
    }
    keep(4);

    // Module 6: integer arithmetic.
    J = kStart.j1;
    K = kStart.k2;
    L = kStart.l3;
    for (int32_t i = 1; i <= counts.module6; ++i) {
        J = J * (K - J) * (L - K);
        K = L * K - (L - J) * K;
        L = (L - K) * K + J;
        E1[L - 1] = J + K + L;
        E1[K - 1] = J * K * L;
    }
    keep(6);

    // Module 7: trigonometric functions.
    X = Y = kStart.half;
    for (int32_t i = 1; i <= counts.module7; ++i) {
        X = T * std::atan(T2 * std::sin(X) * std::cos(X) / (std::cos(X + Y) + std::cos(X - Y) - 1.0));
        Y = T * std::atan(T2 * std::sin(Y) * std::cos(Y) / (std::cos(X + Y) + std::cos(X - Y) - 1.0));
    }
    keep(7);

    // Module 8: procedure calls.
    X = Y = Z = kStart.one;
    for (int32_t i = 1; i <= counts.module8; ++i) {
        P3(X, Y, &Z);
    }
    keep(8);

    // Module 9: array references.
    J = kStart.j1;
    K = kStart.k2;
    L = kStart.l3;
    E1[1] = kStart.one;
    E1[2] = kStart.two;
    E1[3] = kStart.three;
    for (int32_t i = 1; i <= counts.module9; ++i) {
        P0(E1, J, K, L);
    }
    keep(9);

    // Module 10: integer arithmetic.
    J = kStart.j2;
    K = kStart.k3;
    for (int32_t i = 1; i <= counts.module10; ++i) {
        J = J + K;
        K = J + K;
        J = K - J;
        K = K - J - J;
    }
    keep(10);

    // Module 11: standard functions.
    X = kStart.threeQuarters;
    for (int32_t i = 1; i <= counts.module11; ++i) {
        X = std::sqrt(std::exp(std::log(X) / T1));
    }
    keep(11);
}

WhetstoneState WhetstoneModuleEnd(int module) {
    if (module < 1 || module > 11) {
        return WhetstoneState{};
    }
    return Module_End[module];
}
