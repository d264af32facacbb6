#include "ConvertBatch.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <numeric>
#include <optional>
#include <thread>

namespace rolvik {
namespace {

// The items' results, filled by the jobs as they end.
class BatchWork {
  public:
    BatchWork(const ConvertPlan& plan, const ConvertSettings& settings,
              const std::atomic<bool>& stop, const BatchObserver& observer)
        : plan_(plan),
          settings_(settings),
          stop_(stop),
          observer_(observer),
          order_(LargestFirst(plan)),
          results_(plan.items.size()) {}

    void RunJob() {
        const KeepGoing keepGoing = [this] { return !stop_.load(); };
        for (std::size_t taken = next_++; taken < order_.size() && keepGoing(); taken = next_++) {
            const std::size_t index = order_[taken];
            Tell([&] {
                if (observer_.started) {
                    observer_.started(index);
                }
            });
            FileResult result = ConvertFile(plan_.items[index], settings_, keepGoing);
            Tell([&] {
                if (observer_.finished) {
                    observer_.finished(index, result);
                }
            });
            results_[index] = std::move(result);
        }
    }

    BatchSummary Summary() const {
        BatchSummary summary;
        summary.skipped = plan_.skipped;
        summary.failures = plan_.failures;
        summary.stopped = stop_.load();
        for (std::size_t i = 0; i < results_.size(); ++i) {
            if (!results_[i] || results_[i]->outcome == FileOutcome::Stopped) {
                continue;
            }
            if (results_[i]->outcome == FileOutcome::Converted) {
                ++summary.converted;
            } else {
                summary.failures.push_back({plan_.items[i].input, results_[i]->reason});
            }
        }
        summary.failed = summary.failures.size();
        return summary;
    }

  private:
    // The longest songs first, so that no job is left with a long one while the others are done.
    static std::vector<std::size_t> LargestFirst(const ConvertPlan& plan) {
        std::vector<std::uintmax_t> sizes;
        for (const ConvertItem& item : plan.items) {
            std::error_code error;
            const std::uintmax_t size = std::filesystem::file_size(item.input, error);
            sizes.push_back(error ? 0 : size);
        }
        std::vector<std::size_t> order(plan.items.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::ranges::stable_sort(order, std::greater{},
                                 [&sizes](std::size_t index) { return sizes[index]; });
        return order;
    }

    template <typename Call>
    void Tell(Call&& call) {
        const std::lock_guard lock(observerMutex_);
        call();
    }

    const ConvertPlan& plan_;
    const ConvertSettings& settings_;
    const std::atomic<bool>& stop_;
    const BatchObserver& observer_;
    std::vector<std::size_t> order_;
    std::atomic<std::size_t> next_{0};
    std::mutex observerMutex_;
    std::vector<std::optional<FileResult>> results_;
};

}  // namespace

BatchSummary RunBatch(const ConvertPlan& plan, const ConvertSettings& settings, unsigned jobs,
                      const std::atomic<bool>& stop, const BatchObserver& observer) {
    BatchWork work(plan, settings, stop, observer);
    const unsigned threads =
        std::max(1u, std::min<unsigned>(jobs, static_cast<unsigned>(plan.items.size())));
    {
        std::vector<std::jthread> pool;
        for (unsigned i = 1; i < threads; ++i) {
            pool.emplace_back([&work] { work.RunJob(); });
        }
        work.RunJob();
    }
    return work.Summary();
}

}  // namespace rolvik
