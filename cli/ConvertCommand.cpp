#include <unistd.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Commands.h"
#include "ConvertProgress.h"
#include "RenderSettingOptions.h"
#include "StopSignals.h"
#include "convert/ConvertBatch.h"
#include "convert/SummaryJson.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"

namespace rolvik::cli {
namespace {

struct ConvertRequest {
    std::vector<std::string> inputs;
    std::string format;
    std::string outDir;
    std::string summaryPath;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    bool quiet = false;
    double normalizeLufs = kDefaultLoudnessLufs;
    LoopOptions loops;
    ConvertSettings settings;
};

// A message's line breaks continue on lines indented by two spaces, as every message of the tool.
std::string Indented(const std::string& text) {
    std::string indented;
    for (const char c : text) {
        indented += c;
        if (c == '\n') {
            indented += "  ";
        }
    }
    return indented;
}

void PrintSummary(const BatchSummary& summary) {
    if (summary.stopped) {
        std::printf("Stopped.\n");
    }
    std::printf("%zu converted, %zu failed, %zu skipped\n", summary.converted, summary.failed,
                summary.skipped);
    for (const ConvertFailure& failure : summary.failures) {
        std::printf("%s: %s\n", failure.input.string().c_str(), Indented(failure.reason).c_str());
    }
}

bool WriteSummaryFile(const std::string& path, const BatchSummary& summary) {
    std::ostringstream json;
    WriteSummaryAsJson(json, summary);
    const std::string text = json.str();
    std::string error;
    if (!WriteFileAtomically(path, ByteVector(text.begin(), text.end()), error)) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return false;
    }
    return true;
}

ConvertProgress::Style ProgressStyle(bool quiet) {
    if (quiet) {
        return ConvertProgress::Style::Quiet;
    }
    return isatty(STDERR_FILENO) != 0 ? ConvertProgress::Style::Line
                                      : ConvertProgress::Style::PerFile;
}

int RunConvert(const ConvertRequest& request) {
    std::vector<std::filesystem::path> inputs(request.inputs.begin(), request.inputs.end());
    std::optional<std::filesystem::path> outDir;
    if (!request.outDir.empty()) {
        outDir = request.outDir;
    }
    const ConvertPlan plan = PlanConversion(inputs, request.settings.format, outDir);
    ConvertProgress progress(plan, ProgressStyle(request.quiet), stderr);
    BatchSummary summary;
    {
        const StopSignals signals;
        summary = RunBatch(plan, request.settings, request.jobs, StopSignals::requested(),
                           progress.Observer());
    }
    progress.Finish();
    PrintSummary(summary);
    const bool summaryWritten =
        request.summaryPath.empty() || WriteSummaryFile(request.summaryPath, summary);
    if (summary.stopped) {
        return kExitInterrupted;
    }
    return summary.failed == 0 && summaryWritten ? kExitSuccess : kExitFailure;
}

}  // namespace

void AddConvertCommand(CLI::App& app, CommandRun& run) {
    auto request = std::make_shared<ConvertRequest>();
    CLI::App* command = app.add_subcommand(
        "convert", "Convert SMAF and Standard MIDI files, and the folders that hold them, at once");
    command
        ->add_option("INPUT", request->inputs,
                     "Files and folders; folders are walked for SMAF and Standard MIDI files")
        ->required();
    command->add_option("--format", request->format, "What each file becomes")
        ->required()
        ->check(CLI::IsMember({"wav", "flac", "ogg", "opus", "mp3", "mid", "mmf", "json"}))
        ->option_text("wav|flac|ogg|opus|mp3|mid|mmf|json");
    command
        ->add_option("--out", request->outDir,
                     "Folder of the outputs, at each input's path relative to the folder given "
                     "(default: beside each input)")
        ->option_text("DIR");
    command->add_flag("--overwrite", request->settings.overwrite, "Replace outputs that exist");
    command->add_option("--jobs", request->jobs, "Files converted at once (default: the cores)")
        ->check(CLI::Range(1u, 256u))
        ->option_text("N");
    command->add_flag("--quiet", request->quiet, "Print only the summary");
    command->add_option("--summary", request->summaryPath, "Also write the summary as JSON to FILE")
        ->option_text("FILE.json");
    command->add_flag("--gm", request->settings.generalMidi,
                      "With --format mid: map for General MIDI players");
    AddRenderOptions(*command, request->settings.audio.render);
    AddLoopOptions(*command, request->loops);
    AddNormalizeOption(*command, request->normalizeLufs);
    command->callback([&run, request, command] {
        TakeLoopOptions(*command, request->loops, request->settings.audio.render);
        request->settings.format = *ConvertFormatNamed(request->format);
        request->settings.audio.normalizeLufs = NormalizeLufs(*command, request->normalizeLufs);
        run = [request] { return RunConvert(*request); };
    });
}

}  // namespace rolvik::cli
