#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/Bytes.h"
#include "synth/MidiMessage.h"
#include "synth/Synthesizer.h"
#include "synth/VoiceParameters.h"

namespace rolvik::synth::test {

// One operator's settings in the units of the voice message.
struct OperatorSettings {
    int ar = 15, dr = 0, sl = 0, sr = 0, rr = 15, tl = 0, ksl = 0;
    int multi = 1, dt = 0, ws = 0, fb = 0;
    bool ksr = false, xof = false, sus = false;
    bool eam = false, evb = false;
    int dam = 0, dvb = 0;
};

OperatorParameters MakeOperator(const OperatorSettings& settings);
// An operator that never leaves silence (attack rate 0).
OperatorSettings SilentOperator();

VoiceParameters MakeVoice(int algorithm, std::vector<OperatorSettings> operators, int lfoRate = 0,
                          int basicOctave = 0);
// A plain sine: algorithm 0 with a silent modulator and the given carrier.
VoiceParameters SineVoice(const OperatorSettings& carrier = {});

// The voice-definition exclusive F0 43 79 07 7F 01 msb lsb pc note kind ... F7, packed in
// seven-bit groups.
ByteVector VoiceMessage(std::uint8_t bankMsb, std::uint8_t bankLsb, std::uint8_t program,
                        std::uint8_t note, const VoiceParameters& voice);

// Sends raw bytes as one message; fails the test when they are refused.
void Send(Synthesizer& synthesizer, std::initializer_list<std::uint8_t> bytes);
void Send(Synthesizer& synthesizer, Bytes bytes);
// Defines the voice at bank 124/0 for the program and selects it on channel 0.
void UseVoice(Synthesizer& synthesizer, const VoiceParameters& voice, std::uint8_t program = 0);

// Renders `frames` frames and returns the left channel.
std::vector<float> RenderLeft(Synthesizer& synthesizer, int frames);

// Signal measurements.
double FrequencyHz(std::span<const float> signal);
double RmsDb(std::span<const float> signal);
double Rms(std::span<const float> signal);
double ToneMagnitude(std::span<const float> signal, double frequencyHz);
float LargestStep(std::span<const float> signal);
// The peak level of each window of `windowFrames` frames.
std::vector<double> PeakEnvelopeDb(std::span<const float> signal, int windowFrames);

constexpr double kFramesPerMs = 48.0;

// Polls the condition until it holds (true) or five seconds have passed (false).
bool WaitFor(const std::function<bool()>& condition);

}  // namespace rolvik::synth::test
