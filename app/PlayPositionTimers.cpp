#include "PlayPositionTimers.h"

#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr int kMidiProcPeriodMs = 10;
constexpr int kMidiProcPhaseMs = 2;

}  // namespace

// Notes leave on MidiPlay's ticks: coarse timers could let them drift by several ms.
PlayPositionTimers::PlayPositionTimers(std::function<void(int timer)> tick)
    : tick_(std::move(tick)) {
    refresh_.setTimerType(Qt::PreciseTimer);
    midi_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&refresh_, &QTimer::timeout, [this] { tick_(0); });
    QObject::connect(&midi_, &QTimer::timeout, [this] { tick_(1); });
}

void PlayPositionTimers::Start(PlayState state) {
    if (state == PlayState::MidiPlay) {
        midi_.start(kMidiProcPeriodMs);
        // An event leaves at the first tick after its time. The ticks fall a little after each
        // period of the player's clock, so that events on that grid leave soon and equally late
        // every time, where ticks right on the grid would send each either at once or a whole
        // period later by the timer's jitter; the first of them sends the events at the start.
        QTimer::singleShot(kMidiProcPhaseMs, Qt::PreciseTimer, &midi_, [this] {
            if (midi_.isActive()) {
                midi_.start();
                tick_(1);
            }
        });
    }
    refresh_.start(CurrentSettings().refreshRate);
}

void PlayPositionTimers::Stop() {
    refresh_.stop();
    midi_.stop();
}

void PlayPositionTimers::SetRefreshRate(int ms) {
    if (refresh_.isActive()) {
        refresh_.start(ms);
    }
}

}  // namespace rolvik
