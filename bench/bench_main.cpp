// Runs every registered benchmark, or those whose name contains the first argument.
#include "bench/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace kalvo::bench {

std::vector<Benchmark>& Registry() {
    static std::vector<Benchmark> registry;
    return registry;
}

namespace {
const void* volatile sink = nullptr;
} // namespace

void Consume(const void* pointer) {
    sink = pointer;
}

namespace {

// Median of several timed batches; a batch repeats the body until it has run 20 ms.
double SecondsPerRun(const Body& body) {
    using Clock = std::chrono::steady_clock;
    body(); // warm up
    int per_batch = 1;
    for (;;) {
        const auto start = Clock::now();
        for (int i = 0; i < per_batch; ++i)
            body();
        if (Clock::now() - start > std::chrono::milliseconds(20) || per_batch >= (1 << 20))
            break;
        per_batch *= 2;
    }
    std::vector<double> batches;
    for (int batch = 0; batch < 9; ++batch) {
        const auto start = Clock::now();
        for (int i = 0; i < per_batch; ++i)
            body();
        batches.push_back(std::chrono::duration<double>(Clock::now() - start).count() / per_batch);
    }
    std::nth_element(batches.begin(), batches.begin() + 4, batches.end());
    return batches[4];
}

} // namespace

} // namespace kalvo::bench

int main(int argc, char** argv) {
    using namespace kalvo::bench;
    const char* filter = argc > 1 ? argv[1] : "";
    for (const Benchmark& benchmark : Registry()) {
        if (!std::strstr(benchmark.name.c_str(), filter))
            continue;
        const double reference = SecondsPerRun(benchmark.reference);
        const double body = SecondsPerRun(benchmark.body);
        std::printf("%-28s %8.2f x  %s\n", benchmark.name.c_str(), body / reference,
                    benchmark.reference_name.c_str());
    }
    return 0;
}
