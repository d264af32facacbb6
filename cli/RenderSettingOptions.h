#pragma once

#include <optional>

#include <CLI/CLI.hpp>

#include "synth/OfflineRenderer.h"

namespace rolvik::cli {

// The options of how the engine plays a song, shared by every command that renders one, so that a
// new option reaches all of them from here.
void AddRenderOptions(CLI::App& command, synth::RenderOptions& options);

// --normalize[=LUFS], into `lufs`; NormalizeLufs tells, once the line is parsed, whether it was
// given and with what level.
void AddNormalizeOption(CLI::App& command, double& lufs);
std::optional<double> NormalizeLufs(const CLI::App& command, double lufs);

}  // namespace rolvik::cli
