#include "ConvertPlan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <system_error>

namespace rolvik {
namespace {

namespace fs = std::filesystem;

fs::path OutputFor(const fs::path& base, const fs::path& relative, ConvertFormat format) {
    fs::path output = base / relative;
    output.replace_extension(ConvertFormatExtension(format));
    return output;
}

// A folder's song files, sorted so that every run lists them alike; the rest are counted.
std::vector<fs::path> SongsIn(const fs::path& folder, std::size_t& skipped) {
    std::vector<fs::path> songs;
    std::error_code error;
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        if (HoldsSong(it->path())) {
            songs.push_back(it->path());
        } else {
            ++skipped;
        }
    }
    std::ranges::sort(songs);
    return songs;
}

// Compares paths as the file system resolves them, so "a/../b.mmf" and "b.mmf" are one file.
fs::path Resolved(const fs::path& path) {
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(path, error);
    return error ? fs::absolute(path) : resolved;
}

// Leaves in the plan only items whose output is neither an input nor another item's output.
void RefuseClashes(ConvertPlan& plan) {
    std::map<fs::path, std::size_t> inputs;
    for (std::size_t i = 0; i < plan.items.size(); ++i) {
        inputs.emplace(Resolved(plan.items[i].input), i);
    }
    std::map<fs::path, fs::path> outputs;
    std::vector<ConvertItem> kept;
    for (ConvertItem& item : plan.items) {
        const fs::path output = Resolved(item.output);
        if (inputs.contains(output)) {
            plan.failures.push_back({item.input, "Error: the output " + item.output.string() +
                                                     " would replace an input"});
        } else if (const auto [taken, added] = outputs.emplace(output, item.input); !added) {
            plan.failures.push_back({item.input, "Error: " + taken->second.string() +
                                                     " is converted to " + item.output.string() +
                                                     " already"});
        } else {
            kept.push_back(std::move(item));
        }
    }
    plan.items = std::move(kept);
}

}  // namespace

bool HoldsSong(const fs::path& path) {
    std::array<char, 4> head{};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(head.data(), head.size())) {
        return false;
    }
    return std::memcmp(head.data(), "MMMD", 4) == 0 || std::memcmp(head.data(), "MThd", 4) == 0;
}

ConvertPlan PlanConversion(const std::vector<fs::path>& inputs, ConvertFormat format,
                           const std::optional<fs::path>& outDir) {
    ConvertPlan plan;
    for (const fs::path& input : inputs) {
        std::error_code error;
        if (!fs::is_directory(input, error)) {
            const fs::path base = outDir.value_or(input.parent_path());
            plan.items.push_back({input, OutputFor(base, input.filename(), format)});
            continue;
        }
        for (const fs::path& song : SongsIn(input, plan.skipped)) {
            const fs::path base = outDir.value_or(input);
            plan.items.push_back({song, OutputFor(base, song.lexically_relative(input), format)});
        }
    }
    RefuseClashes(plan);
    return plan;
}

}  // namespace rolvik
