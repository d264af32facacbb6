#include "GenMidiFmVoice.h"

#include <algorithm>
#include <optional>

namespace rolvik::tools {
namespace {

// Algorithms of the voice message for the OPL2 connections and voice pairs.
constexpr std::uint8_t kAlgorithmFm = 0;                // 1fb -> 2
constexpr std::uint8_t kAlgorithmAdditive = 1;          // 1fb + 2
constexpr std::uint8_t kAlgorithmTwoAdditivePairs = 2;  // 1fb + 2 + 3fb + 4
constexpr std::uint8_t kAlgorithmTwoFmPairs = 5;        // (1fb -> 2) + (3fb -> 4)

// The LFO runs at 5.9 Hz, near the OPL2's vibrato rate; its depths come close to the OPL2's
// shallow settings (1 dB tremolo, 7 cents vibrato).
constexpr std::uint8_t kLfoRate = 2;
constexpr std::uint8_t kAmDepth = 0;   // 1.3 dB
constexpr std::uint8_t kVibDepth = 1;  // 6.7 cents

// Twice the frequency factor of each MULTI value, so that MULTI 0 (x1/2) is a whole number.
constexpr std::array<int, 16> kDoubledMultiFactor = {1,  2,  4,  6,  8,  10, 12, 14,
                                                     16, 18, 20, 20, 24, 24, 30, 30};

FmOperatorParameters OperatorFromOpl(const GenMidiOperator& opl) {
    FmOperatorParameters op;
    op.amEnable = (opl.characteristic & 0x80) != 0;
    op.vibEnable = (opl.characteristic & 0x40) != 0;
    const bool sustaining = (opl.characteristic & 0x20) != 0;
    op.ksr = (opl.characteristic & 0x10) != 0;
    op.multi = opl.characteristic & 0x0F;
    op.ar = opl.attackDecay >> 4;
    op.dr = opl.attackDecay & 0x0F;
    op.sl = opl.sustainRelease >> 4;
    op.rr = opl.sustainRelease & 0x0F;
    // A sustaining envelope holds its level while the key is down; a percussive one keeps falling
    // at the release rate.
    op.sr = sustaining ? 0 : op.rr;
    op.ksl = opl.keyScale >> 6;
    op.tl = opl.level & 0x3F;
    op.ws = opl.waveform & 0x03;
    op.amDepth = kAmDepth;
    op.vibDepth = kVibDepth;
    return op;
}

// The MULTI value whose factor is the given one shifted by whole octaves, if the table has it.
std::optional<std::uint8_t> MultiShiftedByOctaves(std::uint8_t multi, int octaves) {
    int doubled = kDoubledMultiFactor[multi];
    for (; octaves > 0; --octaves) {
        doubled *= 2;
    }
    for (; octaves < 0; ++octaves) {
        if (doubled % 2 != 0) {
            return std::nullopt;
        }
        doubled /= 2;
    }
    const auto* found = std::find(kDoubledMultiFactor.begin(), kDoubledMultiFactor.end(), doubled);
    if (found == kDoubledMultiFactor.end()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(found - kDoubledMultiFactor.begin());
}

void FoldOctaveOffset(FmOperatorParameters& modulator, FmOperatorParameters& carrier,
                      std::int16_t noteOffsetSemitones) {
    if (noteOffsetSemitones == 0 || noteOffsetSemitones % 12 != 0) {
        return;
    }
    const int octaves = noteOffsetSemitones / 12;
    auto modulatorMulti = MultiShiftedByOctaves(modulator.multi, octaves);
    auto carrierMulti = MultiShiftedByOctaves(carrier.multi, octaves);
    if (modulatorMulti && carrierMulti) {
        modulator.multi = *modulatorMulti;
        carrier.multi = *carrierMulti;
    }
}

bool IsAdditive(const GenMidiVoice& voice) {
    return (voice.feedback & 0x01) != 0;
}

void PlacePair(FmVoiceParameters& fm, std::size_t first, const GenMidiVoice& voice,
               bool foldOctaveOffset) {
    FmOperatorParameters& modulator = fm.operators[first];
    FmOperatorParameters& carrier = fm.operators[first + 1];
    modulator = OperatorFromOpl(voice.modulator);
    carrier = OperatorFromOpl(voice.carrier);
    modulator.fb = (voice.feedback >> 1) & 0x07;
    if (foldOctaveOffset) {
        FoldOctaveOffset(modulator, carrier, voice.noteOffsetSemitones);
    }
}

std::uint8_t PairAlgorithm(const GenMidiInstrument& instrument) {
    const GenMidiVoice& first = instrument.voices[0];
    if (instrument.TwoVoices() && IsAdditive(first) == IsAdditive(instrument.voices[1])) {
        return IsAdditive(first) ? kAlgorithmTwoAdditivePairs : kAlgorithmTwoFmPairs;
    }
    // A second voice connected differently from the first has no four-operator algorithm that
    // keeps both feedbacks; the first voice alone stands for the instrument.
    return IsAdditive(first) ? kAlgorithmAdditive : kAlgorithmFm;
}

FmVoiceParameters VoiceFromGenMidi(const GenMidiInstrument& instrument, bool foldOctaveOffsets) {
    FmVoiceParameters fm;
    fm.name = instrument.name;
    fm.lfo = kLfoRate;
    fm.panpot = kCentrePanpot;
    fm.algorithm = PairAlgorithm(instrument);
    PlacePair(fm, 0, instrument.voices[0], foldOctaveOffsets);
    if (fm.algorithm >= kAlgorithmTwoAdditivePairs) {
        PlacePair(fm, 2, instrument.voices[1], foldOctaveOffsets);
    }
    return fm;
}

}  // namespace

FmVoiceParameters MelodyVoiceFromGenMidi(const GenMidiInstrument& instrument) {
    return VoiceFromGenMidi(instrument, true);
}

FmVoiceParameters DrumVoiceFromGenMidi(const GenMidiInstrument& instrument, std::uint8_t key) {
    // A drum's pitch is its drum key, so the note offset moves the key instead of the multipliers.
    FmVoiceParameters fm = VoiceFromGenMidi(instrument, false);
    if (instrument.FixedPitch()) {
        fm.drumKey = instrument.fixedNote;
    } else {
        const int shifted = key + instrument.voices[0].noteOffsetSemitones;
        fm.drumKey = static_cast<std::uint8_t>(std::clamp(shifted, 0, 127));
    }
    return fm;
}

}  // namespace rolvik::tools
