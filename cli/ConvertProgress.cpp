#include "ConvertProgress.h"

#include <algorithm>

namespace rolvik::cli {
namespace {

constexpr std::size_t kMaxShownPathBytes = 48;

std::string Clock(std::chrono::seconds time) {
    const long long seconds = time.count();
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

// The end of a long path, which names the file.
std::string Shortened(const std::string& path) {
    if (path.size() <= kMaxShownPathBytes) {
        return path;
    }
    return "..." + path.substr(path.size() - kMaxShownPathBytes + 3);
}

}  // namespace

ConvertProgress::ConvertProgress(const ConvertPlan& plan, Style style, std::FILE* out)
    : plan_(plan), style_(style), out_(out), failed_(plan.failures.size()) {}

BatchObserver ConvertProgress::Observer() {
    if (style_ == Style::Quiet) {
        return {};
    }
    return {[this](std::size_t index) { Started(index); },
            [this](std::size_t index, const FileResult& result) { Finished(index, result); }};
}

void ConvertProgress::Started(std::size_t index) {
    inWork_.push_back(index);
    if (style_ == Style::Line) {
        ShowLine();
    }
}

void ConvertProgress::Finished(std::size_t index, const FileResult& result) {
    std::erase(inWork_, index);
    if (result.outcome == FileOutcome::Stopped) {
        return;
    }
    ++done_;
    if (result.outcome == FileOutcome::Failed) {
        ++failed_;
    }
    if (style_ == Style::Line) {
        ShowLine();
        return;
    }
    const std::string input = plan_.items[index].input.string();
    if (result.outcome == FileOutcome::Converted) {
        std::fprintf(out_, "[%zu/%zu] converted %s\n", done_, plan_.items.size(), input.c_str());
    } else {
        std::fprintf(out_, "[%zu/%zu] failed %s\n", done_, plan_.items.size(), input.c_str());
    }
    std::fflush(out_);
}

void ConvertProgress::ShowLine() {
    using std::chrono::seconds;
    const auto elapsed =
        std::chrono::duration_cast<seconds>(std::chrono::steady_clock::now() - start_);
    const std::size_t total = plan_.items.size();
    const std::string left =
        done_ == 0 ? "--:--"
                   : Clock(seconds(elapsed.count() * static_cast<long long>(total - done_) /
                                   static_cast<long long>(done_)));
    const std::string current =
        inWork_.empty() ? std::string() : Shortened(plan_.items[inWork_.back()].input.string());
    std::fprintf(out_, "\r\x1b[K%zu/%zu done, %zu failed, %s elapsed, %s left  %s", done_, total,
                 failed_, Clock(elapsed).c_str(), left.c_str(), current.c_str());
    std::fflush(out_);
}

void ConvertProgress::Finish() {
    if (style_ == Style::Line) {
        std::fputs("\r\x1b[K", out_);
        std::fflush(out_);
    }
}

}  // namespace rolvik::cli
