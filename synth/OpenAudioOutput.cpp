#include "OpenAudioOutput.h"

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "NullOutput.h"
#include "RtAudioOutput.h"

namespace rolvik::synth {

namespace {

// Looking for a device again after it was found missing would only repeat the sound libraries'
// complaints: a process without a device keeps the silent output.
std::atomic<bool> deviceMissing{false};

}  // namespace

void NoteNoAudioOutput(std::string_view reason) {
    if (!deviceMissing.exchange(true)) {
        std::cerr << "Rolvik engine: no audio output (" << reason << "); playing silently\n";
    }
}

std::unique_ptr<AudioOutput> OpenAudioOutput() {
    const char* setting = std::getenv("ROLVIK_AUDIO");
    const std::string_view choice = setting != nullptr ? setting : "";
    if (choice == "null") {
        return std::make_unique<NullOutput>();
    }
    if (choice.starts_with("wav:")) {
        return std::make_unique<NullOutput>(std::filesystem::path(choice.substr(4)));
    }
    if (!deviceMissing) {
        auto device = std::make_unique<RtAudioOutput>();
        std::string error;
        if (device->Open(error)) {
            return device;
        }
        NoteNoAudioOutput(error);
    }
    return std::make_unique<NullOutput>();
}

}  // namespace rolvik::synth
