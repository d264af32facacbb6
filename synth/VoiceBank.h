#pragma once

#include "Channel.h"
#include "VoiceKey.h"
#include "VoiceParameters.h"
#include "VoiceTable.h"

namespace rolvik::synth {

// The voices assigned by voice-definition messages, with the built-in voices behind them: a
// program or drum note that nobody defined still sounds.
class VoiceBank {
  public:
    // A definition the table has no room for is dropped: the voice stays as it was.
    void Define(const VoiceKey& key, const VoiceParameters& voice) { defined_.Define(key, voice); }
    void Erase(const VoiceKey& key) { defined_.Erase(key); }

    // The voice for a note on a channel with its bank and program settings. A drum channel takes
    // the drum bank's voices whatever bank MSB it selected last.
    const VoiceParameters* Find(const Channel& channel, std::uint8_t note) const;

  private:
    VoiceTable defined_;
};

}  // namespace rolvik::synth
