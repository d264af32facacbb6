// Painting the piano roll of a 10,000-note song at 1024 x 768 must take under 16 ms at any scroll
// position, with the picture a walk over every note would give.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include "TenThousandNoteSong.h"
#include "ui/pianoroll/PaintPianoRoll.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Arguments: the horizontal scroll position in pixels (the song is 24,000 pixels long).
void PaintPianoRollIntoImage(benchmark::State& state) {
    Smaf& song = bench::SharedTenThousandNoteSong();
    PianoRollState rollState;
    rollState.document = &song;
    rollState.selectedNote = song.events->next.get();
    rollState.cursorTime = 300000;
    const PianoRollView view{rollState,
                             static_cast<int>(state.range(0)),
                             100,
                             CurrentSettings().trackColours,
                             QColor(240, 240, 240),
                             QColor(0, 0, 0)};
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintPianoRoll(painter, view, kWidth, kHeight);
    }
}
BENCHMARK(PaintPianoRollIntoImage)
    ->Arg(0)
    ->Arg(12000)
    ->Arg(23500)
    ->Arg(65526)
    ->Unit(benchmark::kMillisecond);

// The whole paint event of the widget through each drawFunction path.
void PaintPianoRollWidget(benchmark::State& state) {
    CurrentSettings().drawFunction = static_cast<int>(state.range(0));
    DocumentSession session;
    session.Lend(&bench::SharedTenThousandNoteSong());
    PianoRoll roll(session);
    roll.resize(kWidth, kHeight);
    roll.show();
    roll.horizontalScrollBar()->setValue(12000);
    QPixmap window(roll.viewport()->size());
    for (auto _ : state) {
        roll.viewport()->render(&window);
    }
    CurrentSettings().drawFunction = 2;
}
BENCHMARK(PaintPianoRollWidget)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rolvik
