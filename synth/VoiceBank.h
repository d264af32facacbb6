#pragma once

#include <map>

#include "VoiceKey.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// The voices assigned by voice-definition messages, with the built-in voices behind them: a
// program or drum note that nobody defined still sounds.
class VoiceBank {
  public:
    void Define(const VoiceKey& key, const VoiceParameters& voice) { defined_[key] = voice; }
    void Erase(const VoiceKey& key) { defined_.erase(key); }

    // The voice for a note on a channel with these bank and program settings.
    const VoiceParameters* Find(std::uint8_t bankMsb, std::uint8_t bankLsb, std::uint8_t program,
                                std::uint8_t note) const;

  private:
    std::map<VoiceKey, VoiceParameters> defined_;
};

}  // namespace rolvik::synth
