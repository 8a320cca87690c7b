// The two synthetic benchmarks (Dhrystone 2.1 for integer work, the classic
// Whetstone for floating point) and their shared timer.
#pragma once

#include "platform/platform.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// ---- Timer shared by both benchmarks ----

// Where the timer reads the time of day: LocalTimeOfDay, or the readings a
// test gives.
using BenchClock = std::function<TimeOfDay()>;

// One timed measurement.
class BenchTimer {
  public:
    explicit BenchTimer(BenchClock clock) : clock_(std::move(clock)) {}

    // Saves and raises the process and thread priority, then reads the start time.
    void Start();
    // Reads the end time, then restores the thread priority and the process's.
    void Stop();

    const SavedPriority& SavedPriorities() const { return saved_; }
    const TimeOfDay& StartTime() const { return start_; }
    const TimeOfDay& EndTime() const { return end_; }
    // Seconds from start to end (ElapsedBenchSeconds).
    double Elapsed() const;

  private:
    BenchClock clock_;
    SavedPriority saved_{};
    TimeOfDay start_{};
    TimeOfDay end_{};
};

// Seconds from start to end, to the millisecond; negative when the run
// passed midnight.
double ElapsedBenchSeconds(const TimeOfDay& start, const TimeOfDay& end);

// ---- Score arithmetic ----

constexpr double kDhrystoneMinimumSeconds = 2.0;
constexpr double kWhetstoneMinimumSeconds = 0.002;

// runs x 1000 / elapsed, with micros set to the microseconds of one run; -1
// (micros untouched) when no run was made or the time is below minimumSeconds.
double BenchScore(int32_t runs, double elapsed, double minimumSeconds, double& micros);

// ---- Dhrystone ----

// Published end state of the last Dhrystone run, read after the timer stopped.
struct DhrystoneRecordState {
    bool pointsToNextRecord; // Ptr_Comp holds the address of the Next_Ptr_Glob record
    uint8_t discr;
    uint8_t enumComp;
    uint8_t intComp;
    std::string strComp;
};

struct DhrystoneState {
    int32_t intGlob;
    bool boolGlob;
    char ch1Glob;
    char ch2Glob;
    int32_t arr1Glob8;   // Arr_1_Glob[8]
    int32_t arr2Glob8_7; // Arr_2_Glob[8][7]
    DhrystoneRecordState ptrGlob;
    DhrystoneRecordState nextPtrGlob;
    uint8_t int1Loc;
    uint8_t int2Loc;
    uint8_t int3Loc;
    uint8_t enumLoc;
    std::string str1Loc;
    std::string str2Loc;
};

// The three steps of one Dhrystone call: heap records and start values,
// the timed main loop, then the records released; Finish gives the end state.
void PrepareDhrystone();
void RunDhrystoneLoop(int32_t runs);
DhrystoneState FinishDhrystone();

// Times runs passes through the main loop with the clock's readings; the
// score, or -1 below 2 seconds.
double RunDhrystone(int32_t runs, double& micros, const BenchClock& clock);

// ---- Whetstone ----

// Loop counts of the modules for n runs (there is no module 5).
struct WhetstoneCounts {
    int32_t module1;
    int32_t module2;
    int32_t module3;
    int32_t module4;
    int32_t module6;
    int32_t module7;
    int32_t module8;
    int32_t module9;
    int32_t module10;
    int32_t module11;
};

// Counts for n; all 0 when n fails WhetstoneRunsInRange.
WhetstoneCounts CountWhetstoneLoops(int32_t n);

// Every kernel variable as one module left it. E1 is indexed 1 to 4.
struct WhetstoneState {
    int32_t j, k, l;
    double x1, x2, x3, x4;
    double x, y, z;
    double e1[5];
};

void RunWhetstoneModules(const WhetstoneCounts& counts);
// End state of module 1 to 11 (not 5) of the last run.
WhetstoneState WhetstoneModuleEnd(int module);

// Times n runs through all modules with the clock's readings; the score, or
// -1 below 0.002 seconds.
double RunWhetstone(int32_t n, double& micros, const BenchClock& clock);

// ---- Run limit for tests and the fuzzer ----

// At most this many passes are then made through either benchmark, whatever
// count was typed (the typed count is still shown, stored and divided by, so
// the run ends with a short-time message); 0 lifts the limit. It keeps a
// fuzzer's typed counts from running for minutes.
void LimitBenchmarkRuns(int32_t most);

// ---- Run counts typed at the prompts ----

// The runs typed for Dhrystone are thousands.
constexpr int32_t kDhrystoneRunsPerEntry = 1000;

// Entries whose run counts fit a signed 32-bit integer.
bool DhrystoneEntryInRange(int32_t thousands);
bool WhetstoneRunsInRange(int32_t n);
