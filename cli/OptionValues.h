#pragma once

#include <memory>

#include <CLI/CLI.hpp>

namespace rolvik::cli {

// Help that names values as a user types them (`MS`, `0..127`) rather than by the parser's types:
// an option shows its option text when it has one; a positional shows only whether it is required.
std::shared_ptr<CLI::Formatter> PlainValueFormatter();

// Numbers as people type them: decimal, leading zeros allowed, which CLI11 alone would read as
// octal ("0100" as 64).
CLI::Validator Decimal();

}  // namespace rolvik::cli
