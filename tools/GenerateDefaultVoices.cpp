// Turns the GENMIDI lump of the Freedoom project (OPL2 instruments for the 128 General MIDI
// programs and the percussion keys 35..81) into the engine's built-in voice table: FM voice
// parameter bytes as a voice message carries them, written as C++ initialisers.
//
// Usage: rolvik-generate-default-voices GENMIDI.lmp GENMIDI.LICENSE > synth/DefaultVoices.inc

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kInstrumentCount = 175;
constexpr int kMelodyCount = 128;
constexpr int kFirstDrumNote = 35;
constexpr std::size_t kInstrumentBytes = 36;
constexpr std::size_t kNameBytes = 32;
constexpr std::size_t kHeaderBytes = 8;  // "#OPL_II#"
constexpr std::uint16_t kFixedPitch = 0x0001;
constexpr std::uint16_t kTwoVoices = 0x0004;

// Our tremolo and vibrato depths for the OPL's on/off bits, and the LFO rate: the OPL's own
// vibrato runs at about 6 Hz.
constexpr int kTremoloDepth = 1;
constexpr int kVibratoDepth = 1;
constexpr int kLfoRate = 2;
constexpr int kCentrePanpot = 15;

struct OplOperator {
    std::uint8_t characteristic;  // 20h: AM VIB EG KSR MULT(4)
    std::uint8_t attackDecay;     // 60h
    std::uint8_t sustainRelease;  // 80h
    std::uint8_t waveform;        // E0h
    std::uint8_t scale;           // KSL in bits 7..6
    std::uint8_t level;           // TL in bits 5..0
};

struct OplVoice {
    OplOperator modulator;
    std::uint8_t feedbackConnection;  // C0h: FB in bits 3..1, connection in bit 0
    OplOperator carrier;
    int noteOffset;
};

OplOperator ReadOperator(const std::uint8_t* bytes) {
    return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]};
}

OplVoice ReadVoice(const std::uint8_t* bytes) {
    OplVoice voice{};
    voice.modulator = ReadOperator(bytes);
    voice.feedbackConnection = bytes[6];
    voice.carrier = ReadOperator(bytes + 7);
    voice.noteOffset = static_cast<std::int16_t>(bytes[14] | (bytes[15] << 8));
    return voice;
}

// MULTI index that doubles a multiple (½→1, 1→2, ... 7→14, sounding as 15 at the top).
int DoubledMulti(int multi) {
    return multi == 0 ? 1 : std::min(15, multi * 2);
}

// The operator's seven bytes: SR XOF SUS KSR / RR DR / AR SL / TL KSL / DAM EAM DVB EVB /
// MULTI DT / WS FB.
std::array<std::uint8_t, 7> OperatorBytes(const OplOperator& op, int feedback, int detune,
                                          bool octaveUp) {
    const int multi = octaveUp ? DoubledMulti(op.characteristic & 0x0F) : op.characteristic & 0x0F;
    const bool sustaining = (op.characteristic & 0x20) != 0;
    const int rr = op.sustainRelease & 0x0F;
    const int sr = sustaining ? 0 : rr;
    const int ksr = (op.characteristic >> 4) & 1;
    const int eam = (op.characteristic >> 7) & 1;
    const int evb = (op.characteristic >> 6) & 1;
    return {static_cast<std::uint8_t>(sr << 4 | ksr),
            static_cast<std::uint8_t>(rr << 4 | (op.attackDecay & 0x0F)),
            static_cast<std::uint8_t>((op.attackDecay >> 4) << 4 | (op.sustainRelease >> 4)),
            static_cast<std::uint8_t>((op.level & 0x3F) << 2 | (op.scale >> 6)),
            static_cast<std::uint8_t>(kTremoloDepth << 5 | eam << 4 | kVibratoDepth << 1 | evb),
            static_cast<std::uint8_t>(multi << 4 | detune),
            static_cast<std::uint8_t>((op.waveform & 0x07) << 3 | feedback)};
}

struct Instrument {
    std::uint16_t flags;
    std::uint8_t fineTune;
    std::uint8_t fixedNote;
    OplVoice voices[2];
    std::string name;
};

// The OPL driver sounds note n + offset an octave higher than its number says, so an offset of
// -12 is the true pitch; 0 is an octave up (MULTI doubled) and -24 or lower an octave down
// per step (BO).
struct Pitch {
    bool octaveUp = false;
    int basicOctave = 0;
};

Pitch PitchOfOffset(int noteOffset) {
    const int octaves = (noteOffset + 12) / 12;
    Pitch pitch;
    pitch.octaveUp = octaves > 0;
    pitch.basicOctave = octaves < 0 ? std::min(3, -octaves) : 0;
    return pitch;
}

std::vector<std::uint8_t> VoiceBytes(const Instrument& instrument, int drumKey, bool ignoreOffset) {
    const OplVoice& first = instrument.voices[0];
    const bool twoVoices = (instrument.flags & kTwoVoices) != 0;
    const Pitch pitch = ignoreOffset ? Pitch{} : PitchOfOffset(first.noteOffset);
    const bool firstIsFm = (first.feedbackConnection & 1) == 0;
    const int algorithm = twoVoices ? (firstIsFm ? 5 : 2) : (firstIsFm ? 0 : 1);
    std::vector<std::uint8_t> bytes = {
        static_cast<std::uint8_t>(drumKey),
        static_cast<std::uint8_t>(kCentrePanpot << 3 | pitch.basicOctave),
        static_cast<std::uint8_t>(kLfoRate << 6 | algorithm)};
    auto append = [&bytes](const std::array<std::uint8_t, 7>& op) {
        bytes.insert(bytes.end(), op.begin(), op.end());
    };
    append(OperatorBytes(first.modulator, (first.feedbackConnection >> 1) & 7, 0, pitch.octaveUp));
    append(OperatorBytes(first.carrier, 0, 0, pitch.octaveUp));
    if (twoVoices) {
        // The second pair is tuned apart by the fine-tune byte: a small detune either way.
        const OplVoice& second = instrument.voices[1];
        const int detune = instrument.fineTune > 128 ? 1 : (instrument.fineTune < 128 ? 5 : 0);
        append(OperatorBytes(second.modulator, (second.feedbackConnection >> 1) & 7, detune,
                             pitch.octaveUp));
        append(OperatorBytes(second.carrier, 0, detune, pitch.octaveUp));
    }
    bytes.resize(3 + 4 * 7, 0);
    return bytes;
}

// The lump leaves some percussion keys empty ("Null Instrument"). Each borrows the voice of a
// kindred drum, tuned by the distance between the two keys: bongos and congas from the toms,
// bells from the ride bell, the splash from the crash.
int StandInDrumNote(int note) {
    switch (note) {
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
            return note;
    }
}

bool IsSilent(const Instrument& instrument) {
    const OplOperator& carrier = instrument.voices[0].carrier;
    return carrier.attackDecay == 0 && (carrier.level & 0x3F) == 0x3F;
}

void PrintRow(const std::vector<std::uint8_t>& bytes, const std::string& comment) {
    std::cout << "    {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", bytes[i]);
        std::cout << (i == 0 ? "" : ",") << text;
    }
    std::cout << "},  // " << comment << "\n";
}

std::string ReadText(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " GENMIDI.lmp GENMIDI.LICENSE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(file), {}};
    const std::size_t needed = kHeaderBytes + kInstrumentCount * (kInstrumentBytes + kNameBytes);
    if (data.size() < needed || std::string(data.begin(), data.begin() + 8) != "#OPL_II#") {
        std::cerr << argv[1] << ": not a GENMIDI lump\n";
        return 1;
    }
    std::vector<Instrument> instruments;
    for (int i = 0; i < kInstrumentCount; ++i) {
        const std::uint8_t* bytes = data.data() + kHeaderBytes + i * kInstrumentBytes;
        const char* name = reinterpret_cast<const char*>(
            data.data() + kHeaderBytes + kInstrumentCount * kInstrumentBytes + i * kNameBytes);
        Instrument instrument;
        instrument.flags = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
        instrument.fineTune = bytes[2];
        instrument.fixedNote = bytes[3];
        instrument.voices[0] = ReadVoice(bytes + 4);
        instrument.voices[1] = ReadVoice(bytes + 20);
        instrument.name = std::string(name, std::find(name, name + kNameBytes, '\0'));
        instruments.push_back(instrument);
    }
    std::cout
        << "// Generated by tools/GenerateDefaultVoices.cpp from GENMIDI.lmp of the Freedoom\n"
           "// project. Do not edit; regenerate instead. The data's licence:\n//\n";
    std::istringstream licence(ReadText(argv[2]));
    for (std::string line; std::getline(licence, line);) {
        std::cout << "//" << (line.empty() ? "" : " ") << line << "\n";
    }
    std::cout << "\n// FM voice parameter bytes (P0..P2, then operators 1..4) of the 128 melody "
                 "programs.\nconstexpr DefaultVoiceTable<128> kDefaultMelodyVoiceBytes = {{\n";
    for (int program = 0; program < kMelodyCount; ++program) {
        PrintRow(VoiceBytes(instruments[program], 0, false),
                 std::to_string(program) + " " + instruments[program].name);
    }
    std::cout
        << "}};\n\n// The same for the drum notes 35..81; P0 is the note the drum sounds at.\n"
           "constexpr DefaultVoiceTable<47> kDefaultDrumVoiceBytes = {{\n";
    for (int i = kMelodyCount; i < kInstrumentCount; ++i) {
        const int note = kFirstDrumNote + i - kMelodyCount;
        const int source = IsSilent(instruments[i]) ? StandInDrumNote(note) : note;
        const Instrument& drum = instruments[kMelodyCount + source - kFirstDrumNote];
        const bool fixed = (drum.flags & kFixedPitch) != 0;
        // A fixed-pitch drum sounds at its fixed note, which the driver plays an octave up.
        const int sourceKey = fixed ? drum.fixedNote + 12 : source + drum.voices[0].noteOffset + 12;
        const int drumKey = std::clamp(sourceKey + note - source, 0, 127);
        const std::string origin = source == note ? "" : " (from " + std::to_string(source) + ")";
        PrintRow(VoiceBytes(drum, drumKey, true),
                 std::to_string(note) + " " + instruments[i].name + origin);
    }
    std::cout << "}};\n";
    return 0;
}
