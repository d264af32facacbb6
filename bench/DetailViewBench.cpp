// Painting the detail view of a 10,000-note song (building its report included) must take under
// 50 ms at any scroll position.

#include <benchmark/benchmark.h>

#include <QPixmap>
#include <QScrollBar>

#include "TenThousandNoteSong.h"
#include "report/DetailReport.h"
#include "ui/detail/DetailView.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

// The report alone, which every paint rebuilds: the share of a paint that is not drawing.
void BuildTheReport(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildDetailReport(&bench::SharedTenThousandNoteSong(), 300000));
    }
}
BENCHMARK(BuildTheReport)->Unit(benchmark::kMillisecond);

// Arguments: the vertical scroll position in lines.
void PaintDetailView(benchmark::State& state) {
    Smaf* song = &bench::SharedTenThousandNoteSong();
    DetailView view;
    view.resize(1024, 768);
    view.show();
    view.SetDocument(song);
    view.SetPlayPositionSource([] { return std::uint32_t{300000}; });
    view.viewport()->grab();
    view.verticalScrollBar()->setValue(static_cast<int>(state.range(0)));
    QPixmap window(view.viewport()->size());
    for (auto _ : state) {
        view.viewport()->render(&window);
    }
    state.counters["lines"] = view.lineCount();
}
BENCHMARK(PaintDetailView)->Arg(0)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rolvik
