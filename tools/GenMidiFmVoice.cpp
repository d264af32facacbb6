#include "GenMidiFmVoice.h"

#include <algorithm>

#include "playback/VoiceMessage.h"

namespace rolvik::tools {
namespace {

// Algorithms of the voice message for the OPL2 connections and voice pairs.
constexpr std::uint8_t kAlgorithmFm = 0;                // 1fb -> 2
constexpr std::uint8_t kAlgorithmAdditive = 1;          // 1fb + 2
constexpr std::uint8_t kAlgorithmTwoAdditivePairs = 2;  // 1fb + 2 + 3fb + 4
constexpr std::uint8_t kAlgorithmTwoFmPairs = 5;        // (1fb -> 2) + (3fb -> 4)

// The LFO runs at 5.9 Hz, near the OPL2's vibrato rate; the depths stand for the OPL2's on/off
// tremolo and vibrato bits.
constexpr std::uint8_t kLfoRate = 2;
constexpr std::uint8_t kAmDepth = 1;   // 2.8 dB
constexpr std::uint8_t kVibDepth = 1;  // 6.7 cents

constexpr std::uint8_t kMaxBasicOctave = 3;

// How far the voice must move to sound at the note's own pitch.
struct OctaveShift {
    bool up = false;
    std::uint8_t basicOctave = 0;
};

OctaveShift ShiftForNoteOffset(int noteOffsetSemitones) {
    const int octaves = (noteOffsetSemitones + 12) / 12;
    OctaveShift shift;
    shift.up = octaves > 0;
    if (octaves < 0) {
        shift.basicOctave = static_cast<std::uint8_t>(std::min<int>(kMaxBasicOctave, -octaves));
    }
    return shift;
}

// The MULTI value that doubles a multiplier (x1/2 to x1, x1 to x2, ... x7 to x14, which the
// table rounds to x15), as near as the table allows.
std::uint8_t DoubledMulti(std::uint8_t multi) {
    return multi == 0 ? 1 : static_cast<std::uint8_t>(std::min(15, multi * 2));
}

VoiceOperator OperatorFromOpl(const GenMidiOperator& opl, bool octaveUp, std::uint8_t detune) {
    VoiceOperator op;
    op.amEnable = (opl.characteristic & 0x80) != 0;
    op.vibEnable = (opl.characteristic & 0x40) != 0;
    const bool sustaining = (opl.characteristic & 0x20) != 0;
    op.ksr = (opl.characteristic & 0x10) != 0;
    const std::uint8_t multi = opl.characteristic & 0x0F;
    op.multi = octaveUp ? DoubledMulti(multi) : multi;
    op.dt = detune;
    op.ar = opl.attackDecay >> 4;
    op.dr = opl.attackDecay & 0x0F;
    op.sl = opl.sustainRelease >> 4;
    op.rr = opl.sustainRelease & 0x0F;
    // A sustaining envelope holds its level while the key is down; a percussive one keeps falling
    // at the release rate.
    op.sr = sustaining ? 0 : op.rr;
    op.ksl = opl.keyScale >> 6;
    op.tl = opl.level & 0x3F;
    op.ws = opl.waveform & 0x07;
    op.amDepth = kAmDepth;
    op.vibDepth = kVibDepth;
    return op;
}

bool IsFm(const GenMidiVoice& voice) {
    return (voice.feedback & 0x01) == 0;
}

void PlacePair(FmVoiceParameters& fm, std::size_t first, const GenMidiVoice& voice, bool octaveUp,
               std::uint8_t detune) {
    fm.operators[first] = OperatorFromOpl(voice.modulator, octaveUp, detune);
    fm.operators[first].fb = (voice.feedback >> 1) & 0x07;
    fm.operators[first + 1] = OperatorFromOpl(voice.carrier, octaveUp, detune);
}

// The second voice of a two-voice instrument is tuned apart by the fine-tune byte: a small detune
// either way.
std::uint8_t SecondVoiceDetune(std::uint8_t fineTune) {
    if (fineTune > 128) {
        return 1;
    }
    return fineTune < 128 ? 5 : 0;
}

FmVoiceParameters VoiceFromGenMidi(const GenMidiInstrument& instrument, OctaveShift shift) {
    const GenMidiVoice& first = instrument.voices[0];
    FmVoiceParameters fm;
    fm.name = instrument.name;
    fm.panpot = kCentrePanpot;
    fm.basicOctave = shift.basicOctave;
    fm.lfo = kLfoRate;
    if (instrument.TwoVoices()) {
        fm.algorithm = IsFm(first) ? kAlgorithmTwoFmPairs : kAlgorithmTwoAdditivePairs;
    } else {
        fm.algorithm = IsFm(first) ? kAlgorithmFm : kAlgorithmAdditive;
    }
    PlacePair(fm, 0, first, shift.up, 0);
    if (instrument.TwoVoices()) {
        PlacePair(fm, 2, instrument.voices[1], shift.up, SecondVoiceDetune(instrument.fineTune));
    }
    return fm;
}

bool IsSilent(const GenMidiInstrument& instrument) {
    const GenMidiOperator& carrier = instrument.voices[0].carrier;
    return carrier.attackDecay == 0 && (carrier.level & 0x3F) == 0x3F;
}

// The drum whose voice stands in for an empty key: bongos and congas from the toms, bells from
// the ride bell, the splash from the crash.
std::uint8_t StandInDrumKey(std::uint8_t key) {
    switch (key) {
        case 55:
            return 49;
        case 56:
        case 67:
        case 68:
            return 53;
        case 58:
            return 54;
        case 60:
        case 62:
        case 65:
            return 50;
        case 61:
        case 63:
            return 48;
        case 64:
            return 47;
        case 66:
            return 45;
        case 69:
            return 70;
        default:
            return key;
    }
}

const GenMidiInstrument& DrumInstrument(const std::vector<GenMidiInstrument>& instruments,
                                        std::uint8_t key) {
    return instruments[kGenMidiMelodyCount + key - kGenMidiFirstDrumKey];
}

std::uint8_t Bit(bool flag, int position) {
    return static_cast<std::uint8_t>(flag << position);
}

}  // namespace

std::array<std::uint8_t, kFmVoiceBytes> FmVoiceBytes(const FmVoiceParameters& fm) {
    std::array<std::uint8_t, kFmVoiceBytes> bytes{};
    bytes[0] = fm.drumKey;
    bytes[1] = static_cast<std::uint8_t>(fm.panpot << 3 | fm.basicOctave);
    bytes[2] = static_cast<std::uint8_t>(fm.lfo << 6 | Bit(fm.panpotEnable, 5) | fm.algorithm);
    for (std::size_t i = 0; i < fm.operators.size(); ++i) {
        const std::array<std::uint8_t, kFmOperatorBytes> op = FmOperatorBytes(fm.operators[i]);
        std::copy(op.begin(), op.end(), bytes.begin() + 3 + kFmOperatorBytes * i);
    }
    return bytes;
}

FmVoiceParameters MelodyVoiceFromGenMidi(const GenMidiInstrument& instrument) {
    return VoiceFromGenMidi(instrument,
                            ShiftForNoteOffset(instrument.voices[0].noteOffsetSemitones));
}

std::uint8_t DrumSourceKey(const std::vector<GenMidiInstrument>& instruments, std::uint8_t key) {
    return IsSilent(DrumInstrument(instruments, key)) ? StandInDrumKey(key) : key;
}

FmVoiceParameters DrumVoiceFromGenMidi(const std::vector<GenMidiInstrument>& instruments,
                                       std::uint8_t key) {
    const std::uint8_t source = DrumSourceKey(instruments, key);
    const GenMidiInstrument& drum = DrumInstrument(instruments, source);
    // A drum's pitch is its drum key, so the voice itself is not moved. The driver plays the fixed
    // note, or the key moved by the note offset, an octave up.
    const int sourceKey =
        drum.FixedPitch() ? drum.fixedNote + 12 : source + drum.voices[0].noteOffsetSemitones + 12;
    FmVoiceParameters fm = VoiceFromGenMidi(drum, OctaveShift{});
    fm.name = DrumInstrument(instruments, key).name;
    fm.drumKey = static_cast<std::uint8_t>(std::clamp(sourceKey + key - source, 0, 127));
    return fm;
}

}  // namespace rolvik::tools
