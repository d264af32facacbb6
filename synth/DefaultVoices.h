#pragma once

#include "VoiceParameters.h"

namespace rolvik::synth {

constexpr int kFirstDefaultDrumNote = 35;
constexpr int kLastDefaultDrumNote = 81;

// The built-in voice of a melody program 0..127, used when no voice is assigned to it.
const VoiceParameters& DefaultMelodyVoice(int program);

// The built-in voice of a General MIDI drum note 35..81: a sampled voice of the chip's drum waves
// for the drums that have one (DefaultDrumKit.h), FM for the others; null for other notes.
const VoiceParameters* DefaultDrumVoice(int note);

}  // namespace rolvik::synth
