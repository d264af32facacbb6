#include "SynthTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

namespace rolvik::synth::test {

OperatorParameters MakeOperator(const OperatorSettings& s) {
    OperatorParameters op;
    op.bytes = {
        static_cast<std::uint8_t>(s.sr << 4 | (s.xof ? 8 : 0) | (s.sus ? 2 : 0) | (s.ksr ? 1 : 0)),
        static_cast<std::uint8_t>(s.rr << 4 | s.dr),
        static_cast<std::uint8_t>(s.ar << 4 | s.sl),
        static_cast<std::uint8_t>(s.tl << 2 | s.ksl),
        static_cast<std::uint8_t>(s.dam << 5 | (s.eam ? 16 : 0) | s.dvb << 1 | (s.evb ? 1 : 0)),
        static_cast<std::uint8_t>(s.multi << 4 | s.dt),
        static_cast<std::uint8_t>(s.ws << 3 | s.fb)};
    return op;
}

OperatorSettings SilentOperator() {
    OperatorSettings settings;
    settings.ar = 0;
    settings.tl = 63;
    return settings;
}

VoiceParameters MakeVoice(int algorithm, std::vector<OperatorSettings> operators, int lfoRate,
                          int basicOctave) {
    VoiceParameters voice;
    voice.voiceBytes = {0, static_cast<std::uint8_t>(15 << 3 | basicOctave),
                        static_cast<std::uint8_t>(lfoRate << 6 | algorithm)};
    for (std::size_t i = 0; i < operators.size(); ++i) {
        voice.operators[i] = MakeOperator(operators[i]);
    }
    return voice;
}

VoiceParameters SineVoice(const OperatorSettings& carrier) {
    return MakeVoice(0, {SilentOperator(), carrier});
}

ByteVector VoiceMessage(std::uint8_t bankMsb, std::uint8_t bankLsb, std::uint8_t program,
                        std::uint8_t note, const VoiceParameters& voice) {
    ByteVector parameters(voice.voiceBytes.begin(), voice.voiceBytes.end());
    for (int i = 0; i < voice.operatorCount(); ++i) {
        parameters.insert(parameters.end(), voice.operators[i].bytes.begin(),
                          voice.operators[i].bytes.end());
    }
    ByteVector message = {0xF0,    0x43,    0x79,    0x07, 0x7F, 0x01,
                          bankMsb, bankLsb, program, note, 0x00};
    for (std::size_t group = 0; group < parameters.size(); group += 7) {
        const std::size_t end = std::min(parameters.size(), group + 7);
        std::uint8_t flags = 0;
        for (std::size_t i = group; i < end; ++i) {
            flags |= (parameters[i] & 0x80) ? static_cast<std::uint8_t>(0x40 >> (i - group)) : 0;
        }
        message.push_back(flags);
        for (std::size_t i = group; i < end; ++i) {
            message.push_back(parameters[i] & 0x7F);
        }
    }
    message.push_back(0xF7);
    return message;
}

void Send(Synthesizer& synthesizer, Bytes bytes) {
    const auto message = ParseMidiMessage(bytes);
    ASSERT_TRUE(message.has_value());
    synthesizer.Apply(*message);
}

void Send(Synthesizer& synthesizer, std::initializer_list<std::uint8_t> bytes) {
    const ByteVector copy(bytes);
    Send(synthesizer, copy);
}

void UseVoice(Synthesizer& synthesizer, const VoiceParameters& voice, std::uint8_t program) {
    Send(synthesizer, VoiceMessage(124, 0, program, 0, voice));
    Send(synthesizer, {0xC0, program});
}

std::vector<float> RenderLeft(Synthesizer& synthesizer, int frames) {
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    synthesizer.Render(left.data(), right.data(), frames);
    return left;
}

// Rising zero crossings, placed between samples by linear interpolation; the mean period
// between the first and the last.
double FrequencyHz(std::span<const float> signal) {
    double first = -1.0;
    double last = -1.0;
    int periods = -1;
    for (std::size_t i = 1; i < signal.size(); ++i) {
        if (signal[i - 1] < 0.0f && signal[i] >= 0.0f) {
            const double crossing = (i - 1) + signal[i - 1] / (signal[i - 1] - signal[i]);
            if (first < 0.0) {
                first = crossing;
            }
            last = crossing;
            ++periods;
        }
    }
    return periods > 0 ? periods * kFramesPerMs * 1000.0 / (last - first) : 0.0;
}

double Rms(std::span<const float> signal) {
    double sum = 0.0;
    for (float sample : signal) {
        sum += static_cast<double>(sample) * sample;
    }
    return signal.empty() ? 0.0 : std::sqrt(sum / signal.size());
}

double RmsDb(std::span<const float> signal) {
    return 20.0 * std::log10(Rms(signal) + 1e-12);
}

double ToneMagnitude(std::span<const float> signal, double frequencyHz) {
    double re = 0.0;
    double im = 0.0;
    const double step = 2.0 * std::numbers::pi * frequencyHz / (kFramesPerMs * 1000.0);
    for (std::size_t i = 0; i < signal.size(); ++i) {
        re += signal[i] * std::cos(step * i);
        im += signal[i] * std::sin(step * i);
    }
    return 2.0 * std::hypot(re, im) / signal.size();
}

float LargestStep(std::span<const float> signal) {
    float largest = 0.0f;
    for (std::size_t i = 1; i < signal.size(); ++i) {
        largest = std::max(largest, std::fabs(signal[i] - signal[i - 1]));
    }
    return largest;
}

std::vector<double> PeakEnvelopeDb(std::span<const float> signal, int windowFrames) {
    std::vector<double> envelope;
    for (std::size_t start = 0; start + windowFrames <= signal.size(); start += windowFrames) {
        float peak = 0.0f;
        for (int i = 0; i < windowFrames; ++i) {
            peak = std::max(peak, std::fabs(signal[start + i]));
        }
        envelope.push_back(20.0 * std::log10(peak + 1e-12));
    }
    return envelope;
}

bool WaitFor(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

}  // namespace rolvik::synth::test
