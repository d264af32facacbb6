#include "HandyPhoneVoice.h"

#include "SmafExclusive.h"

namespace rolvik {
namespace {

constexpr std::size_t kHeadSize = 5;  // 43 03 index bank program
constexpr std::size_t kVoiceBytes = 2;
constexpr std::size_t kOperatorBytes = 5;

// One operator as the song stores it; the fields were settled from the definitions of real songs
// (docs/handyphone-voices.md):
//
//   +0  MULTI(4) VIB EGT SUS KSR      +1  RR(4) DR(4)      +2  AR(4) SL(4)
//   +3  TL(6) KSL(2)                  +4  DVB(2) DAM(2) EAM WS(3)
//
// EGT 1 holds the level after the decay, EGT 0 goes on falling at the release rate while the key
// is held: the sustain rate of the seven-byte form says the same with 0 and with RR.
ByteVector MobileStandardOperator(Bytes stored, int feedback) {
    const int rr = stored[1] >> 4;
    const bool sustained = (stored[0] & 0x04) != 0;
    const int sr = sustained ? 0 : rr;
    const int vib = (stored[0] >> 3) & 0x01;
    const int sus = (stored[0] >> 1) & 0x01;
    const int ksr = stored[0] & 0x01;
    const int dvb = stored[4] >> 6;
    const int dam = (stored[4] >> 4) & 0x03;
    const int eam = (stored[4] >> 3) & 0x01;
    const int ws = stored[4] & 0x07;
    const int multi = stored[0] >> 4;
    return {
        static_cast<std::uint8_t>(sr << 4 | sus << 1 | ksr),
        stored[1],
        stored[2],
        stored[3],
        static_cast<std::uint8_t>(dam << 5 | eam << 4 | dvb << 1 | vib),
        static_cast<std::uint8_t>(multi << 4),
        static_cast<std::uint8_t>(ws << 3 | feedback),
    };
}

}  // namespace

std::uint8_t HandyPhoneBankLsb(std::uint8_t bank) {
    return (bank & 0x80) != 0 ? static_cast<std::uint8_t>(0x40 | (bank & 0x3F))
                              : static_cast<std::uint8_t>(bank & 0x7F);
}

std::optional<HandyPhoneVoice> ReadHandyPhoneVoice(Bytes body) {
    if (body.size() < kHeadSize + kVoiceBytes || body[0] != kYamahaId ||
        body[1] != kHandyPhoneDeviceId) {
        return std::nullopt;
    }
    // Voice byte 0: LFO(2) FB(3) ALG(3); voice byte 1 is 01 in every song seen, meaning unknown.
    const std::uint8_t voiceByte = body[kHeadSize];
    const int algorithm = voiceByte & 0x07;
    const std::size_t operators = algorithm >= 2 ? 4 : 2;
    const Bytes stored = body.subspan(kHeadSize + kVoiceBytes);
    if (stored.size() != operators * kOperatorBytes) {
        return std::nullopt;
    }
    HandyPhoneVoice voice{body[3], body[4], {}};
    const int lfo = voiceByte >> 6;
    const int feedback = (voiceByte >> 3) & 0x07;
    // No drum key; the panpot at the centre, though not enabled: the channel's pan applies.
    constexpr std::uint8_t kCentrePanpot = 15 << 3;
    voice.parameters = {0x00, kCentrePanpot, static_cast<std::uint8_t>(lfo << 6 | algorithm)};
    for (std::size_t op = 0; op < operators; ++op) {
        // The voice has one feedback, on operator 1, which every algorithm feeds back.
        const ByteVector converted = MobileStandardOperator(
            stored.subspan(op * kOperatorBytes, kOperatorBytes), op == 0 ? feedback : 0);
        voice.parameters.insert(voice.parameters.end(), converted.begin(), converted.end());
    }
    return voice;
}

}  // namespace rolvik
