// How far drum hits rise above the music: the 2-12 kHz band's energy in the 30 ms after each drum
// note-on against the 30 ms before it, over the first 20 s of corpus songs whose drums are the
// chip's waves or the built-in kit. The counter "lift_dB" is the median over the song's hits.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "core/FileIO.h"
#include "synth/Channel.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"

namespace {

using namespace rolvik;
using namespace rolvik::synth;

constexpr int kBlockFrames = 480;
constexpr int kFramesPerMs = 48;
constexpr std::uint32_t kWindowMs = 30;
constexpr std::uint32_t kSongMs = 20000;

// A second-order Butterworth section, high- or low-pass.
class Section {
  public:
    Section(bool highPass, double cornerHz) {
        const double w = 2.0 * std::numbers::pi * cornerHz / (kFramesPerMs * 1000.0);
        const double alpha = std::sin(w) / std::numbers::sqrt2;
        const double c = std::cos(w);
        const double a0 = 1.0 + alpha;
        const double edge = highPass ? (1.0 + c) / 2.0 : (1.0 - c) / 2.0;
        b_ = {edge / a0, (highPass ? -2.0 : 2.0) * edge / a0, edge / a0};
        a_ = {-2.0 * c / a0, (1.0 - alpha) / a0};
    }
    double Next(double x) {
        const double y = b_[0] * x + b_[1] * x1_ + b_[2] * x2_ - a_[0] * y1_ - a_[1] * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

  private:
    std::array<double, 3> b_{};
    std::array<double, 2> a_{};
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

// Ms from the beginning of the sequence of every note on a drum channel.
std::set<std::uint32_t> DrumOnsetsMs(const Song& song) {
    std::array<Channel, kChannelCount> channels;
    for (int i = 0; i < kChannelCount; ++i) {
        channels[i] = Channel::Initial((song.drumChannels >> i & 1) != 0);
    }
    std::set<std::uint32_t> onsets;
    for (std::size_t i = 0; i < song.endIndex; ++i) {
        const SongEvent& event = song.events[i];
        const auto& bytes = event.channelBytes;
        if (!event.isNote && event.type == MessageType::Channel && (bytes[0] & 0xF0) == 0xB0 &&
            bytes[1] == 0) {
            channels[bytes[0] & 0x0F].SelectBank(bytes[2]);
        } else if (event.isNote && channels[event.channel].isDrum() &&
                   event.timeMs >= song.startOffsetMs) {
            onsets.insert(event.timeMs - song.startOffsetMs);
        }
    }
    return onsets;
}

// The 2-12 kHz band's energy of each ms of the song's first 20 s.
std::vector<double> BandEnergyPerMs(const Song& song) {
    RenderOptions options;
    options.toMs = kSongMs;
    OfflineRenderer renderer(song, options);
    std::array<Section, 4> band = {Section(true, 2000.0), Section(true, 2000.0),
                                   Section(false, 12000.0), Section(false, 12000.0)};
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    std::vector<double> energy;
    std::int64_t frame = 0;
    while (const int rendered = renderer.Render(left.data(), right.data(), kBlockFrames)) {
        for (int i = 0; i < rendered; ++i, ++frame) {
            double x = (left[i] + right[i]) / 2.0;
            for (Section& section : band) {
                x = section.Next(x);
            }
            if (frame % kFramesPerMs == 0) {
                energy.push_back(0.0);
            }
            energy.back() += x * x;
        }
    }
    return energy;
}

double MedianLiftDb(const std::set<std::uint32_t>& onsets, const std::vector<double>& energy) {
    constexpr double kFloor = 1e-12;
    std::vector<double> lifts;
    for (const std::uint32_t onset : onsets) {
        if (onset < kWindowMs || onset + kWindowMs > energy.size()) {
            continue;
        }
        double before = kFloor, after = kFloor;
        for (std::uint32_t ms = 0; ms < kWindowMs; ++ms) {
            before += energy[onset - kWindowMs + ms];
            after += energy[onset + ms];
        }
        lifts.push_back(10.0 * std::log10(after / before));
    }
    if (lifts.empty()) {
        return 0.0;
    }
    std::nth_element(lifts.begin(), lifts.begin() + lifts.size() / 2, lifts.end());
    return lifts[lifts.size() / 2];
}

void BM_DrumLift(benchmark::State& state, const char* name) {
    const auto bytes = ReadWholeFile(std::string(ROLVIK_CORPUS_DIR) + "/" + name);
    const auto song = bytes ? LoadSong(*bytes) : nullptr;
    if (!song) {
        state.SkipWithError("song not found or refused");
        return;
    }
    double lift = 0.0;
    for (auto _ : state) {
        lift = MedianLiftDb(DrumOnsetsMs(*song), BandEnergyPerMs(*song));
    }
    state.counters["lift_dB"] = lift;
}

// Drums of the chip's waves.
BENCHMARK_CAPTURE(BM_DrumLift, HM, "libsmaf__HM.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, La_donna_e_mobile, "libsmaf__La_donna_e_mobile.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Melody02_2, "libsmaf__Melody02_2.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Cello_suit, "libsmaf__Cello_suit_No.1.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, He_was_born, "libsmaf__He_was_born.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, EndlessWay, "vavi__EndlessWay.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Straightway, "vavi__Straightway.mmf");
// Drums of the chip's waves beside the songs' own waves and FM drum voices.
BENCHMARK_CAPTURE(BM_DrumLift, Pop_STAR, "libsmaf__Pop_STAR.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, dlunch_midi, "dlunch__midi.mmf");
// Drums of the built-in kit.
BENCHMARK_CAPTURE(BM_DrumLift, guiking, "vavi__guiking.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Lupin_The_3rd, "vavi__Lupin_The_3rd__80.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Train_Trip, "smafconv__02._Train_Trip.mmf");
BENCHMARK_CAPTURE(BM_DrumLift, Propose, "smafconv__04._Propose.mmf");

}  // namespace
