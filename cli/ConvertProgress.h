#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/ConvertBatch.h"

namespace rolvik::cli {

// How a conversion shows its progress on stderr: on a terminal, one line updated in place with the
// files done of the total, the failures so far, the file in work, the time taken and the time
// left; elsewhere one line per file finished; nothing when quiet.
class ConvertProgress {
  public:
    enum class Style { Line, PerFile, Quiet };

    ConvertProgress(const ConvertPlan& plan, Style style, std::FILE* out);

    BatchObserver Observer();
    // Clears the updated line before the summary.
    void Finish();

  private:
    void Started(std::size_t index);
    void Finished(std::size_t index, const FileResult& result);
    void ShowLine();

    const ConvertPlan& plan_;
    Style style_;
    std::FILE* out_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::size_t done_ = 0;
    std::size_t failed_;
    std::vector<std::size_t> inWork_;
};

}  // namespace rolvik::cli
