#include <CLI/CLI.hpp>
#include <QApplication>
#include <cstdio>
#include <string>

#include "RenderSnapshot.h"
#include "core/Loader.h"
#include "ui/settings/Settings.h"

// rolvik-snapshot: draws the piano roll (or the detail view) of a SMAF file into a PNG with the
// program's own painting code, without a display.

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Options {
    std::string file;
    std::string output;
    rolvik::SnapshotRequest request;
    int track = 0;
    int drawFunction = 2;
    bool detail = false;
};

void AddOptions(CLI::App& app, Options& options) {
    app.add_option("FILE", options.file, "SMAF file to draw")->required()->check(CLI::ExistingFile);
    app.add_option("OUT", options.output, "PNG file to write")->required();
    app.add_option("--width", options.request.width, "Picture width in pixels")
        ->check(CLI::Range(1, 16384));
    app.add_option("--height", options.request.height, "Picture height in pixels")
        ->check(CLI::Range(1, 16384));
    app.add_option("--row-height", options.request.rowHeight, "Pixels per key row")
        ->check(CLI::Range(1, 1000));
    app.add_option("--width-divider", options.request.widthDivider, "Milliseconds per pixel")
        ->check(CLI::Range(1, 1000000));
    app.add_option("--scroll-x", options.request.scrollX,
                   "Horizontal scroll position (pixels; with --detail, columns)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--scroll-y", options.request.scrollY,
                   "Vertical scroll position (pixels; with --detail, lines); default: the notes "
                   "centred")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--track", options.track,
                   "Show only this track, 1 to 16 as the track menu counts them; 0 shows all")
        ->check(CLI::Range(0, 16));
    app.add_option("--position", options.request.positionMs, "Play position in ms");
    app.add_option("--draw-function", options.drawFunction,
                   "0 direct, 1 through an RGB image, 2 through a pixmap")
        ->check(CLI::Range(0, 2));
    app.add_flag("--detail", options.detail, "Draw the detail view instead of the piano roll");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "rolvik-snapshot: draw the piano roll or the detail view of a SMAF file into a PNG"};
    Options options;
    AddOptions(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? kExitSuccess : kExitUsage;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    rolvik::SetDefaultSettings();
    rolvik::CurrentSettings().drawFunction = options.drawFunction;
    options.request.visibleTrack = options.track - 1;

    std::unique_ptr<rolvik::Smaf> document = rolvik::OpenSmaf(options.file);
    if (!document) {
        return kExitFailure;
    }
    const QImage picture = options.detail
                               ? rolvik::RenderDetailSnapshot(document.get(), options.request)
                               : rolvik::RenderPianoRollSnapshot(document.get(), options.request);
    if (!picture.save(QString::fromStdString(options.output), "PNG")) {
        std::fprintf(stderr, "Error: cannot write %s\n", options.output.c_str());
        return kExitFailure;
    }
    return kExitSuccess;
}
