#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>

#include "SynthTestSupport.h"
#include "synth/Lfo.h"

namespace rolvik::synth::test {
namespace {

double Cents(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

// The steady part of a held note: 100 ms after its start, for `ms` ms.
std::vector<float> HeldNote(const VoiceParameters& voice, int note, int ms = 1000) {
    Synthesizer synthesizer;
    UseVoice(synthesizer, voice);
    Send(synthesizer, {0x90, static_cast<std::uint8_t>(note), 127});
    RenderLeft(synthesizer, static_cast<int>(100 * kFramesPerMs));
    return RenderLeft(synthesizer, static_cast<int>(ms * kFramesPerMs));
}

TEST(PitchTest, SineCarrierPlaysA4At440Hz) {
    EXPECT_NEAR(Cents(FrequencyHz(HeldNote(SineVoice(), 69)), 440.0), 0.0, 1.0);
    EXPECT_NEAR(Cents(FrequencyHz(HeldNote(SineVoice(), 57)), 220.0), 0.0, 1.0);
}

TEST(PitchTest, MultiAndBasicOctaveShiftThePitch) {
    const std::pair<int, double> multiples[] = {{0, 220.0}, {2, 880.0}, {3, 1320.0}, {5, 2200.0}};
    for (const auto& [multi, expectedHz] : multiples) {
        OperatorSettings carrier;
        carrier.multi = multi;
        EXPECT_NEAR(Cents(FrequencyHz(HeldNote(SineVoice(carrier), 69)), expectedHz), 0.0, 1.0)
            << "MULTI " << multi;
    }
    for (int octave = 1; octave <= 3; ++octave) {
        const VoiceParameters voice = MakeVoice(0, {SilentOperator(), {}}, 0, octave);
        EXPECT_NEAR(Cents(FrequencyHz(HeldNote(voice, 69)), 440.0 / (1 << octave)), 0.0, 1.0)
            << "BO " << octave;
    }
}

TEST(PitchTest, DetuneMovesThePitchSlightlyEitherWay) {
    OperatorSettings up;
    up.dt = 3;
    OperatorSettings down;
    down.dt = 7;
    const double plainHz = FrequencyHz(HeldNote(SineVoice(), 105));
    const double upHz = FrequencyHz(HeldNote(SineVoice(up), 105));
    const double downHz = FrequencyHz(HeldNote(SineVoice(down), 105));
    EXPECT_NEAR(upHz - plainHz, 1.0, 0.15);
    EXPECT_NEAR(plainHz - downHz, 1.0, 0.15);
}

// A note on A1 (octave 1: no rate offset without KSR) on a carrier at 15 × 55 Hz, so that a
// window of 58 frames holds about one period.
constexpr int kEnvelopeNote = 33;
constexpr int kEnvelopeWindow = 58;

std::vector<double> EnvelopeOf(const OperatorSettings& carrier, int ms, int releaseAfterMs = -1) {
    Synthesizer synthesizer;
    UseVoice(synthesizer, SineVoice(carrier));
    Send(synthesizer, {0x90, kEnvelopeNote, 127});
    std::vector<float> signal;
    if (releaseAfterMs >= 0) {
        signal = RenderLeft(synthesizer, static_cast<int>(releaseAfterMs * kFramesPerMs));
        Send(synthesizer, {0x90, kEnvelopeNote, 0});
    }
    const auto rest = RenderLeft(
        synthesizer, static_cast<int>((ms - std::max(releaseAfterMs, 0)) * kFramesPerMs));
    signal.insert(signal.end(), rest.begin(), rest.end());
    return PeakEnvelopeDb(signal, kEnvelopeWindow);
}

double MsOfWindow(std::size_t window) {
    return window * kEnvelopeWindow / kFramesPerMs;
}

// Ms from `fromWindow` until the envelope falls `dropDb` below its level there.
double FallTimeMs(const std::vector<double>& envelope, std::size_t fromWindow, double dropDb) {
    for (std::size_t i = fromWindow; i < envelope.size(); ++i) {
        if (envelope[i] <= envelope[fromWindow] - dropDb) {
            return MsOfWindow(i - fromWindow);
        }
    }
    return 1e9;
}

TEST(EnvelopeTest, DecayTakesTheTableTimeForItsRate) {
    // Effective rates 28, 36, 44: 672, 168 and 42 ms for the full 96 dB.
    const std::pair<int, double> decays[] = {{7, 672.0}, {9, 168.0}, {11, 42.0}};
    for (const auto& [dr, fullSwingMs] : decays) {
        OperatorSettings carrier;
        carrier.multi = 15;
        carrier.dr = dr;
        carrier.sl = 15;
        const auto envelope = EnvelopeOf(carrier, static_cast<int>(fullSwingMs) + 100);
        EXPECT_NEAR(FallTimeMs(envelope, 1, 72.0), fullSwingMs * 0.75, fullSwingMs * 0.075)
            << "DR " << dr;
    }
}

TEST(EnvelopeTest, AttackTakesTheTableTimeForItsRate) {
    // Effective rates 16, 24, 32: 367.85, 91.97 and 22.99 ms.
    const std::pair<int, double> attacks[] = {{4, 367.85}, {6, 91.97}, {8, 22.99}};
    for (const auto& [ar, attackMs] : attacks) {
        OperatorSettings carrier;
        carrier.multi = 15;
        carrier.ar = ar;
        const auto envelope = EnvelopeOf(carrier, static_cast<int>(attackMs) + 100);
        const double top = envelope.back();
        std::size_t window = 0;
        while (window < envelope.size() && envelope[window] < top - 0.5) {
            ++window;
        }
        EXPECT_NEAR(MsOfWindow(window), attackMs, attackMs * 0.1) << "AR " << ar;
    }
}

TEST(EnvelopeTest, ReleaseStartsAtNoteOffAndFollowsItsRate) {
    // RR 9 is rate 36: 168 ms for 96 dB. With SUS the release goes at rate 16 (5376 ms) whatever
    // RR says, and ends although the sustain rate is 0.
    struct Release {
        int rr;
        bool sus;
        double fullSwingMs;
    };
    const Release releases[] = {{9, false, 168.0}, {15, true, 5376.0}};
    for (const auto& [rr, sus, fullSwingMs] : releases) {
        OperatorSettings carrier;
        carrier.multi = 15;
        carrier.rr = rr;
        carrier.sus = sus;
        const auto envelope = EnvelopeOf(carrier, 300 + static_cast<int>(fullSwingMs), 200);
        const std::size_t noteOff = static_cast<std::size_t>(200 * kFramesPerMs / kEnvelopeWindow);
        EXPECT_NEAR(envelope[noteOff - 2], envelope[5], 0.5) << "held at full level until note-off";
        EXPECT_NEAR(FallTimeMs(envelope, noteOff, 72.0), fullSwingMs * 0.75, fullSwingMs * 0.075)
            << "RR " << rr << (sus ? " with SUS" : "");
    }
}

TEST(EnvelopeTest, SustainLevelHoldsThreeDecibelsPerStep) {
    OperatorSettings carrier;
    carrier.multi = 15;
    carrier.dr = 12;
    carrier.sl = 4;
    OperatorSettings undecayed;
    undecayed.multi = 15;
    EXPECT_NEAR(EnvelopeOf(undecayed, 400).back() - EnvelopeOf(carrier, 400).back(), 12.0, 0.5);
}

TEST(LevelTest, TotalLevelStepsAreThreeQuarterDecibels) {
    const double full = RmsDb(HeldNote(SineVoice(), 69, 200));
    for (int tl : {1, 8, 40}) {
        OperatorSettings carrier;
        carrier.tl = tl;
        EXPECT_NEAR(full - RmsDb(HeldNote(SineVoice(carrier), 69, 200)), 0.75 * tl, 0.1)
            << "TL " << tl;
    }
}

TEST(LevelTest, KeyScaleLevelLowersEachOctaveBySetting) {
    const std::pair<int, double> scalings[] = {{0, 0.0}, {1, 3.0}, {2, 1.5}, {3, 6.0}};
    for (const auto& [ksl, dbPerOctave] : scalings) {
        OperatorSettings carrier;
        carrier.ksl = ksl;
        const double c4 = RmsDb(HeldNote(SineVoice(carrier), 60, 200));
        const double c5 = RmsDb(HeldNote(SineVoice(carrier), 72, 200));
        EXPECT_NEAR(c4 - c5, dbPerOctave, 0.15) << "KSL " << ksl;
    }
}

// Every operator held at a steady level, each at its own multiple, moderately loud so that a
// modulator audibly changes its carrier.
VoiceParameters WiredVoice(int algorithm, int silenced) {
    std::vector<OperatorSettings> operators(4);
    for (int i = 0; i < 4; ++i) {
        operators[i].multi = i + 1;
        operators[i].tl = 8;
        if (i == silenced) {
            operators[i] = SilentOperator();
        }
    }
    return MakeVoice(algorithm, operators);
}

// Only operator `solo` sounds: a carrier is heard, a modulator whose carrier is silent is not.
VoiceParameters SoloVoice(int algorithm, int solo) {
    std::vector<OperatorSettings> operators(4, SilentOperator());
    operators[solo] = OperatorSettings{};
    return MakeVoice(algorithm, operators);
}

TEST(AlgorithmTest, EachOperatorIsWiredAsItsAlgorithmSays) {
    // Carriers (bit n: operator n + 1) of algorithms 0..7.
    const int carriers[8] = {0b0010, 0b0011, 0b1111, 0b1000, 0b1000, 0b1010, 0b1001, 0b1101};
    for (int algorithm = 0; algorithm < 8; ++algorithm) {
        const int operatorCount = algorithm < 2 ? 2 : 4;
        const auto full = HeldNote(WiredVoice(algorithm, -1), 57, 200);
        for (int op = 0; op < 4; ++op) {
            const std::string what =
                "algorithm " + std::to_string(algorithm) + " operator " + std::to_string(op + 1);
            const auto without = HeldNote(WiredVoice(algorithm, op), 57, 200);
            if (op >= operatorCount) {
                EXPECT_EQ(without, full) << what << " is not used";
                continue;
            }
            const double soloRms = Rms(HeldNote(SoloVoice(algorithm, op), 57, 200));
            if ((carriers[algorithm] >> op) & 1) {
                EXPECT_GT(soloRms, 0.01) << what << " is a carrier";
            } else {
                EXPECT_EQ(soloRms, 0.0) << what << " is not a carrier";
                std::vector<float> difference(full.size());
                for (std::size_t i = 0; i < full.size(); ++i) {
                    difference[i] = full[i] - without[i];
                }
                EXPECT_GT(Rms(difference), Rms(full) * 0.05) << what << " modulates";
            }
        }
    }
}

TEST(AlgorithmTest, FeedbackAddsHarmonics) {
    auto harmonicsOf = [](int fb) {
        OperatorSettings first;
        first.fb = fb;
        const auto signal = HeldNote(MakeVoice(1, {first, SilentOperator()}), 57, 500);
        return (ToneMagnitude(signal, 440.0) + ToneMagnitude(signal, 660.0)) /
               ToneMagnitude(signal, 220.0);
    };
    EXPECT_LT(harmonicsOf(0), 0.01);
    EXPECT_GT(harmonicsOf(4), 0.1);
    EXPECT_GT(harmonicsOf(6), harmonicsOf(4));
}

TEST(LfoTest, TremoloSwingsByItsDepthAtTheVoiceRate) {
    OperatorSettings carrier;
    carrier.multi = 15;
    carrier.eam = true;
    carrier.dam = 3;  // 11.8 dB
    for (int rate : {0, 3}) {
        const auto signal =
            HeldNote(MakeVoice(0, {SilentOperator(), carrier}, rate), kEnvelopeNote, 3000);
        const auto envelope = PeakEnvelopeDb(signal, kEnvelopeWindow);
        const auto [low, high] = std::minmax_element(envelope.begin(), envelope.end());
        EXPECT_NEAR(*high - *low, 11.8, 1.0) << "rate " << rate;
        int troughs = 0;
        for (std::size_t i = 1; i + 1 < envelope.size(); ++i) {
            troughs += envelope[i] < *low + 0.3 && envelope[i - 1] >= *low + 0.3 ? 1 : 0;
        }
        const double expected = rate == 0 ? 1.8 * 3 : 7.0 * 3;
        EXPECT_NEAR(troughs, expected, 1.5) << "rate " << rate;
    }
}

TEST(LfoTest, VibratoSwingsThePitchByItsDepth) {
    OperatorSettings carrier;
    carrier.evb = true;
    carrier.dvb = 3;  // 26.8 cents
    const auto signal = HeldNote(MakeVoice(0, {SilentOperator(), carrier}, 1), 69, 1000);
    double lowest = 1e9;
    double highest = 0.0;
    const int chunk = static_cast<int>(20 * kFramesPerMs);
    for (std::size_t start = 0; start + chunk <= signal.size(); start += chunk) {
        const double hz = FrequencyHz(std::span(signal).subspan(start, chunk));
        lowest = std::min(lowest, hz);
        highest = std::max(highest, hz);
    }
    EXPECT_NEAR(Cents(highest, 440.0), 26.8, 4.0);
    EXPECT_NEAR(Cents(lowest, 440.0), -26.8, 4.0);
}

// The vibrato sine is carried from block to block rather than computed afresh, so it must still
// match the phase after long runs of whole blocks mixed with the odd partial ones.
TEST(LfoTest, VibratoStaysOnItsSineOverLongRuns) {
    Lfo lfo;
    std::int64_t frames = 0;
    for (int i = 0; i < 200000; ++i) {
        const int advance = i % 97 == 0 ? 1 + i % 31 : kBlockFrames;
        lfo.Advance(advance);
        frames += advance;
        if (i % 1000 != 0) {
            continue;
        }
        for (int rate = 0; rate < 4; ++rate) {
            const double cycles = Lfo::RateHz(rate) * static_cast<double>(frames) / 48000.0;
            const double expected =
                std::sin(2.0 * std::numbers::pi * (cycles - std::floor(cycles)));
            ASSERT_NEAR(lfo.Read(rate).vibrato, expected, 1e-5) << "rate " << rate << " at " << i;
        }
    }
}

}  // namespace
}  // namespace rolvik::synth::test
