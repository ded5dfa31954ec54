// On a busy machine the fastest of several interleaved repetitions compares best, e.g.
//   barterbox-bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only
// so every benchmark reports a "min" beside Google Benchmark's mean, median and deviation.
#pragma once

#include <algorithm>
#include <vector>

namespace barterbox::bench {

inline double Fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

} // namespace barterbox::bench
