// glibc serves a large allocation from fresh pages and, once one is freed, raises the size above
// which it does so; the 4 MB texts and documents that the config benchmarks build then come from
// fresh pages in one benchmark and from reused ones in the next, depending only on what ran
// before. Page faults on this kind of virtual machine cost up to five times the work measured, so
// the benchmarks fix both thresholds above any size they allocate: every benchmark, and its
// baseline, then measures its code, not the order in which they happened to run.
#include <malloc.h>

namespace {

constexpr int kAboveAnyBenchmarkAllocation = 256 << 20;

[[maybe_unused]] const bool kSteadyMemory = [] {
    mallopt(M_MMAP_THRESHOLD, kAboveAnyBenchmarkAllocation);
    mallopt(M_TRIM_THRESHOLD, kAboveAnyBenchmarkAllocation);
    return true;
}();

} // namespace
