#pragma once

#include <map>

#include "Channel.h"
#include "VoiceKey.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// The voices assigned by voice-definition messages, with the built-in voices behind them: a
// program or drum note that nobody defined still sounds.
class VoiceBank {
  public:
    void Define(const VoiceKey& key, const VoiceParameters& voice) { defined_[key] = voice; }
    void Erase(const VoiceKey& key) { defined_.erase(key); }

    // The voice for a note on a channel with its bank and program settings. A drum channel takes
    // the drum bank's voices whatever bank MSB it selected last.
    const VoiceParameters* Find(const Channel& channel, std::uint8_t note) const;

  private:
    std::map<VoiceKey, VoiceParameters> defined_;
};

}  // namespace rolvik::synth
