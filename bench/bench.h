// A very small benchmark harness. Every benchmark names a reference: plain work of a
// comparable size (copying the same bytes, say) timed in the same run, and reports its own
// time as a multiple of that reference, so that results read the same on any machine.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kalvo::bench {

using Body = std::function<void()>;

// Given the two measured times, a line of detail printed under the ratio (absolute times,
// memory, what the time is spent on).
using Note = std::function<std::string(double reference_seconds, double body_seconds)>;

struct Benchmark {
    std::string name;
    std::string reference_name;
    Body reference;
    Body body;
    Note note = {};
    // Benchmarks that take long run only when the filter picks them, not in a run of all.
    bool only_when_named = false;
};

std::vector<Benchmark>& Registry();

struct Register {
    explicit Register(Benchmark benchmark) { Registry().push_back(std::move(benchmark)); }
};

// Work a benchmark has done in a fresh process of this program, where the benchmark
// process's own memory does not count (to measure peak memory, say): `kalvo_bench --child
// NAME ARGUMENTS...` runs the child registered under NAME and exits with what it returns.
using ChildMain = std::function<int(const std::vector<std::string>& arguments)>;

std::vector<std::pair<std::string, ChildMain>>& Children();

struct RegisterChild {
    RegisterChild(std::string name, ChildMain main) {
        Children().emplace_back(std::move(name), std::move(main));
    }
};

// Keeps the optimiser from dropping work whose result is otherwise unused.
void Consume(const void* pointer);

} // namespace kalvo::bench
