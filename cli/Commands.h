#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace rolvik::cli {

// Exit codes of every command.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// What a shell reports for a program that Ctrl-C ended.
constexpr int kExitInterrupted = 130;

// Each command registers its subcommand and, when the subcommand is chosen, stores in `run` what is
// to be done once the whole command line has been parsed.
using CommandRun = std::function<int()>;

// `compile` and `import`: both open a song by its content and compile it into a new SMAF file.
void AddCompileCommands(CLI::App& app, CommandRun& run);
void AddConvertCommand(CLI::App& app, CommandRun& run);
void AddEncodeCommand(CLI::App& app, CommandRun& run);
void AddEventsCommand(CLI::App& app, CommandRun& run);
void AddMidiCommand(CLI::App& app, CommandRun& run);
void AddPlayCommand(CLI::App& app, CommandRun& run);
void AddRenderCommand(CLI::App& app, CommandRun& run);
void AddReportCommand(CLI::App& app, CommandRun& run);
}  // namespace rolvik::cli
