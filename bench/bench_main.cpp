// Runs every registered benchmark, or those whose name contains the first argument; or, with
// `--child NAME ...`, the child registered under NAME.
#include "bench/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>

namespace kalvo::bench {

std::vector<Benchmark>& Registry() {
    static std::vector<Benchmark> registry;
    return registry;
}

std::vector<std::pair<std::string, ChildMain>>& Children() {
    static std::vector<std::pair<std::string, ChildMain>> children;
    return children;
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
    if (argc > 2 && std::strcmp(argv[1], "--child") == 0) {
        for (const auto& [name, child] : Children()) {
            if (name != argv[2])
                continue;
            try {
                return child(std::vector<std::string>(argv + 3, argv + argc));
            } catch (const std::exception& error) {
                std::fprintf(stderr, "kalvo_bench: child '%s' failed: %s\n", argv[2], error.what());
                return 1;
            }
        }
        std::fprintf(stderr, "kalvo_bench: no child named '%s'\n", argv[2]);
        return 2;
    }
    const char* filter = argc > 1 ? argv[1] : "";
    int status = 0;
    for (const Benchmark& benchmark : Registry()) {
        if (!std::strstr(benchmark.name.c_str(), filter))
            continue;
        if (benchmark.only_when_named && !*filter) {
            std::printf("%-28s  skipped in a run of all, it takes long: kalvo_bench \"%s\"\n",
                        benchmark.name.c_str(), benchmark.name.c_str());
            std::fflush(stdout);
            continue;
        }
        try {
            const double reference = SecondsPerRun(benchmark.reference);
            const double body = SecondsPerRun(benchmark.body);
            std::printf("%-28s %8.2f x  %s\n", benchmark.name.c_str(), body / reference,
                        benchmark.reference_name.c_str());
            if (benchmark.note)
                std::printf("    %s\n", benchmark.note(reference, body).c_str());
        } catch (const std::exception& error) {
            std::printf("%-28s  FAILED: %s\n", benchmark.name.c_str(), error.what());
            status = 1;
        }
        std::fflush(stdout);
    }
    return status;
}
