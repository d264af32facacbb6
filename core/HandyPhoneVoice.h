#pragma once

#include <cstdint>
#include <optional>

#include "Bytes.h"

namespace rolvik {

// A voice that a HandyPhone Standard song defines in its setup data, in the exclusive
// 43 03 index bank program, two voice bytes, five bytes for each of two or four operators, F7.
// A channel selects it by its bank (bit 7 set for a drum bank) and program.
//
// The voice arrives in the form of the Mobile Standard FM voice: three voice bytes and seven
// bytes an operator, laid out as the engine and the MA-3 voice message take them, so that playing
// the song and compiling it carry the same values.
struct HandyPhoneVoice {
    std::uint8_t bank = 0;
    std::uint8_t program = 0;
    ByteVector parameters;
};

// The bank select LSB under the melody bank (MSB 124) where the voices of a HandyPhone bank live,
// so that a channel that selects no bank finds those of bank 0. Drum banks lie from 64 on.
std::uint8_t HandyPhoneBankLsb(std::uint8_t bank);

// The voice of an exclusive body (the bytes between F0 and F7); none for any other body, and for a
// definition whose length does not match its algorithm's operator count.
std::optional<HandyPhoneVoice> ReadHandyPhoneVoice(Bytes body);

}  // namespace rolvik
