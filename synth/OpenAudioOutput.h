#pragma once

#include <memory>
#include <string_view>

#include "AudioOutput.h"

namespace rolvik::synth {

// The output chosen by the environment variable ROLVIK_AUDIO: unset for the sound device, "null"
// for a silent output that keeps real time, "wav:PATH" for one that also writes what it plays to
// PATH. Without a usable device the silent output stands in, which is said once on stderr.
std::unique_ptr<AudioOutput> OpenAudioOutput();

// Says once in the process, on stderr, that sound goes nowhere and why, and keeps later
// OpenAudioOutput calls from looking for the device again.
void NoteNoAudioOutput(std::string_view reason);

}  // namespace rolvik::synth
