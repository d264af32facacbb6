#pragma once

// The real SMAF files that tests read live beside the checkout, in ../shared/corpus: third-party
// content, never copied into this repository. A clone on its own has no such folder, and a test
// that needs it skips there, saying why. CI has the folder; there (CI=true) a missing corpus fails
// the test instead, so that the corpus tests cannot silently stop running.

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#define ROLVIK_REQUIRE_CORPUS()                                                             \
    do {                                                                                    \
        if (!std::filesystem::is_directory(ROLVIK_CORPUS_DIR)) {                            \
            const char* ci = std::getenv("CI");                                             \
            if (ci != nullptr && std::string_view(ci) == "true") {                          \
                GTEST_FAIL() << "the song corpus is missing: " ROLVIK_CORPUS_DIR;           \
            }                                                                               \
            GTEST_SKIP() << "the song corpus is not at " ROLVIK_CORPUS_DIR                  \
                            " (third-party files kept beside the checkout, see README.md)"; \
        }                                                                                   \
    } while (false)
