#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "import/OpenSong.h"
#include "report/DetailReport.h"
#include "report/ReportJson.h"

namespace rolvik::cli {
namespace {

struct ReportArguments {
    std::string path;
    std::uint32_t positionMs = 0;
    bool json = false;
};

void PrintLines(const DetailReport& report) {
    for (const ReportLine& line : report.lines) {
        std::fwrite(line.text.data(), 1, line.text.size(), stdout);
        std::fputc('\n', stdout);
    }
}

int RunReport(const ReportArguments& arguments) {
    std::unique_ptr<Smaf> smaf = OpenSong(arguments.path).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    const DetailReport report = BuildDetailReport(smaf.get(), arguments.positionMs);
    if (arguments.json) {
        WriteReportAsJson(std::cout, report);
    } else {
        PrintLines(report);
    }
    return kExitSuccess;
}

// A play position as the report prints times: decimal, leading zeros allowed. CLI11 alone would
// read "0100" as octal and reject "0090".
CLI::Validator DecimalMilliseconds() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const bool digitsOnly = !text.empty() && std::ranges::all_of(text, [](char c) {
                return c >= '0' && c <= '9';
            });
            if (!digitsOnly) {
                return "a play position is a decimal number of ms: " + text;
            }
            text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
            return {};
        },
        "MS");
}

}  // namespace

void AddReportCommand(CLI::App& app, CommandRun& run) {
    auto arguments = std::make_shared<ReportArguments>();
    CLI::App* command = app.add_subcommand(
        "report", "Print the detail report of a SMAF file: its chunks, then its event list");
    command->add_option("FILE", arguments->path, "SMAF or Standard MIDI file to open")->required();
    command
        ->add_option("--position", arguments->positionMs,
                     "Play position in ms; the first event at or after it is the marked line")
        ->transform(DecimalMilliseconds())
        ->option_text("MS");
    command->add_flag("--json", arguments->json,
                      "Print one JSON object with the lines, their styles and the marked line");
    command->callback([&run, arguments] { run = [arguments] { return RunReport(*arguments); }; });
}

}  // namespace rolvik::cli
