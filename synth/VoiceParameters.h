#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "PcmVoiceWave.h"
#include "core/Bytes.h"

namespace rolvik::synth {

// One operator's seven bytes as they arrive in a voice message, read through named accessors so
// that the bytes stay the single source of truth:
//
//   +0  SR(4) XOF . SUS KSR      +1  RR(4) DR(4)      +2  AR(4) SL(4)      +3  TL(6) KSL(2)
//   +4  . DAM(2) EAM . DVB(2) EVB                     +5  MULTI(4) . DT(3) +6  WS(5) FB(3)
struct OperatorParameters {
    std::array<std::uint8_t, 7> bytes{};

    int sr() const { return bytes[0] >> 4; }
    bool xof() const { return (bytes[0] & 0x08) != 0; }
    bool sus() const { return (bytes[0] & 0x02) != 0; }
    bool ksr() const { return (bytes[0] & 0x01) != 0; }
    int rr() const { return bytes[1] >> 4; }
    int dr() const { return bytes[1] & 0x0F; }
    int ar() const { return bytes[2] >> 4; }
    int sl() const { return bytes[2] & 0x0F; }
    int tl() const { return bytes[3] >> 2; }
    int ksl() const { return bytes[3] & 0x03; }
    int dam() const { return (bytes[4] >> 5) & 0x03; }
    bool eam() const { return (bytes[4] & 0x10) != 0; }
    int dvb() const { return (bytes[4] >> 1) & 0x03; }
    bool evb() const { return (bytes[4] & 0x01) != 0; }
    int multi() const { return bytes[5] >> 4; }
    int dt() const { return bytes[5] & 0x07; }
    int ws() const { return bytes[6] >> 3; }
    int fb() const { return bytes[6] & 0x07; }

    bool operator==(const OperatorParameters&) const = default;
};

enum class VoiceKind : std::uint8_t { Fm, Pcm };

// A voice definition: three voice bytes and up to four operators.
//
//   P0  drum key (the note a drum voice sounds at)
//   P1  panpot(5) . BO(2)
//   P2  LFO rate(2) PE . . algorithm(3)
//
// A PCM voice keeps its envelope as a single operator and names its wave in `pcmWave`.
struct VoiceParameters {
    VoiceKind kind = VoiceKind::Fm;
    std::array<std::uint8_t, 3> voiceBytes{};
    std::array<OperatorParameters, 4> operators{};
    PcmVoiceWave pcmWave;

    int drumKey() const { return voiceBytes[0]; }
    int panpot() const { return voiceBytes[1] >> 3; }
    int basicOctave() const { return voiceBytes[1] & 0x03; }
    int lfoRate() const { return voiceBytes[2] >> 6; }
    bool panpotEnabled() const { return (voiceBytes[2] & 0x20) != 0; }
    int algorithm() const { return voiceBytes[2] & 0x07; }
    int operatorCount() const {
        if (kind == VoiceKind::Pcm) {
            return 1;
        }
        return algorithm() >= 2 ? 4 : 2;
    }
};

// Parameter byte counts: 3 voice bytes and 7 per operator; PCM voices carry 16 bytes.
constexpr std::size_t kFmTwoOperatorBytes = 3 + 2 * 7;
constexpr std::size_t kFmFourOperatorBytes = 3 + 4 * 7;
constexpr std::size_t kPcmBytes = 16;

// Reads an FM voice from its parameter bytes (already unpacked); the algorithm in P2 decides
// whether two or four operators follow. Null when the bytes are too few for that algorithm.
std::optional<VoiceParameters> ReadFmVoice(Bytes parameters);

// Reads a PCM voice's 16 parameter bytes into a one-operator voice: panpot, LFO rate and the
// envelope, levels and modulation enables of the wave. Null when fewer than 16 bytes.
std::optional<VoiceParameters> ReadPcmVoice(Bytes parameters);

}  // namespace rolvik::synth
