// A very small benchmark harness. Every benchmark names a reference: plain work of a
// comparable size (copying the same bytes, say) timed in the same run, and reports its own
// time as a multiple of that reference, so that results read the same on any machine.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kalvo::bench {

using Body = std::function<void()>;

struct Benchmark {
    std::string name;
    std::string reference_name;
    Body reference;
    Body body;
};

std::vector<Benchmark>& Registry();

struct Register {
    explicit Register(Benchmark benchmark) { Registry().push_back(std::move(benchmark)); }
};

// Keeps the optimiser from dropping work whose result is otherwise unused.
void Consume(const void* pointer);

} // namespace kalvo::bench
