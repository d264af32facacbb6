#pragma once

#include <optional>

#include <CLI/CLI.hpp>

#include "synth/OfflineRenderer.h"

namespace rolvik::cli {

// The options of how the engine plays a song, shared by every command that renders one, so that a
// new option reaches all of them from here.
void AddRenderOptions(CLI::App& command, synth::RenderOptions& options);

// A ringtone's loops, length and fade as typed, in seconds, until the line is parsed.
struct LoopOptions {
    int loops = 0;
    double lengthSeconds = 0;
    double fadeSeconds = 0;
};

// --loops N, --length SECONDS and --fade SECONDS, into `loops`; TakeLoopOptions hands what was
// given to the render once the line is parsed.
void AddLoopOptions(CLI::App& command, LoopOptions& loops);
void TakeLoopOptions(const CLI::App& command, const LoopOptions& loops,
                     synth::RenderOptions& options);

// --normalize[=LUFS], into `lufs`; NormalizeLufs tells, once the line is parsed, whether it was
// given and with what level.
void AddNormalizeOption(CLI::App& command, double& lufs);
std::optional<double> NormalizeLufs(const CLI::App& command, double lufs);

}  // namespace rolvik::cli
