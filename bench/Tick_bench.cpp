#include "SeasonRestaurant.h"

#include <benchmark/benchmark.h>

namespace {

struct JobCase {
    const char* type;
    int subAccount;
    int tickets; // what one tick of the job must print
    void (SeasonRestaurant::*reopen)();
};

// One tick of a queued job for the season's job bill: the queue read, the line queries, the
// builders, the tickets rendered on recording canvases (without the pause), the marks and the
// deletion. Setting the job up is not timed.
void BM_Tick(benchmark::State& state, const JobCase job) {
    SeasonRestaurant& restaurant = SeasonRestaurant::Get();
    for (auto _ : state) {
        state.PauseTiming();
        if (job.reopen)
            (restaurant.*job.reopen)();
        restaurant.QueueJob(QString::fromLatin1(job.type), job.subAccount);
        const int before = restaurant.DocumentsPrinted();
        state.ResumeTiming();

        restaurant.Tick();

        state.PauseTiming();
        if (restaurant.DocumentsPrinted() - before != job.tickets || restaurant.JobsQueued()) {
            state.SkipWithError("the tick did not print its tickets and take the job");
            break;
        }
        state.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(BM_Tick, Production, JobCase{"0", 0, 4, &SeasonRestaurant::ReopenSaleLines})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Tick, Cancellation, JobCase{"2", 0, 3, &SeasonRestaurant::ReopenReturnLines})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Tick, Bill, JobCase{"1", 0, 1, nullptr})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Tick, SplitBill, JobCase{"3", 1, 1, nullptr})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Tick, Eadisyon, JobCase{"4", 0, 1, nullptr})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Tick, PosSlip, JobCase{"5", 0, 1, nullptr})->Unit(benchmark::kMillisecond);

} // namespace
