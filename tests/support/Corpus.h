#pragma once

// The real SMAF files that tests read live beside the checkout, in ../shared/corpus: third-party
// content, never copied into this repository. A clone on its own has no such folder, and a test
// that needs it skips there, saying why. CI has the folder; there (CI=true) a missing corpus fails
// the test instead, so that the corpus tests cannot silently stop running.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace rolvik::testing {

inline bool CorpusIsMissing() {
    return !std::filesystem::is_directory(ROLVIK_CORPUS_DIR);
}

inline bool RunningInCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::string_view(ci) == "true";
}

inline std::string MissingCorpusText() {
    return std::string("the song corpus is not at ") + ROLVIK_CORPUS_DIR +
           " (third-party files kept beside the checkout, see README.md)";
}

}  // namespace rolvik::testing

// Ends the test when the corpus is missing: skipped on a clone of its own, failed under CI.
#define ROLVIK_REQUIRE_CORPUS()                                         \
    do {                                                                \
        if (::rolvik::testing::CorpusIsMissing()) {                     \
            if (::rolvik::testing::RunningInCi()) {                     \
                GTEST_FAIL() << ::rolvik::testing::MissingCorpusText(); \
            }                                                           \
            GTEST_SKIP() << ::rolvik::testing::MissingCorpusText();     \
        }                                                               \
    } while (false)
