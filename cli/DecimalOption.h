#pragma once

#include <CLI/CLI.hpp>

namespace rolvik::cli {

// Numbers as people type them: decimal, leading zeros allowed, which CLI11 alone would read as
// octal ("0100" as 64).
CLI::Validator Decimal();

}  // namespace rolvik::cli
