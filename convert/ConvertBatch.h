#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

#include "ConvertFile.h"
#include "ConvertPlan.h"

namespace rolvik {

// What a conversion did: the failures in the order of the plan, the plan's own first.
struct BatchSummary {
    std::size_t converted = 0;
    std::size_t failed = 0;
    std::size_t skipped = 0;
    std::vector<ConvertFailure> failures;
    bool stopped = false;
};

// Told of each file as a job takes it up and as it ends, one call at a time, from the jobs'
// threads. `index` counts the plan's items.
struct BatchObserver {
    std::function<void(std::size_t index)> started;
    std::function<void(std::size_t index, const FileResult& result)> finished;
};

// Converts the plan's items on `jobs` threads. Each file's output depends on that file alone, so
// the bytes are the same for any number of jobs. Once `stop` is set, files in work are abandoned
// without an output and no other is begun.
BatchSummary RunBatch(const ConvertPlan& plan, const ConvertSettings& settings, unsigned jobs,
                      const std::atomic<bool>& stop, const BatchObserver& observer);

}  // namespace rolvik
