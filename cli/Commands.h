#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace rolvik::cli {

// Exit codes of every command.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Each command registers its subcommand and, when the subcommand is chosen, stores in `run` what is
// to be done once the whole command line has been parsed.
using CommandRun = std::function<int()>;

void AddCompileCommand(CLI::App& app, CommandRun& run);
void AddEncodeCommand(CLI::App& app, CommandRun& run);
void AddEventsCommand(CLI::App& app, CommandRun& run);
void AddImportCommand(CLI::App& app, CommandRun& run);
void AddMidiCommand(CLI::App& app, CommandRun& run);
void AddPlayCommand(CLI::App& app, CommandRun& run);
void AddRenderCommand(CLI::App& app, CommandRun& run);
void AddReportCommand(CLI::App& app, CommandRun& run);
}  // namespace rolvik::cli
