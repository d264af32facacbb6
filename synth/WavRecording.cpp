#include "WavRecording.h"

#include <mutex>
#include <set>

#include "AudioOutput.h"

namespace rolvik::synth {
namespace {

// Opens an existing recording for appending; null when there is none to append to.
SNDFILE* OpenForAppending(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_RDWR, &info);
    if (file == nullptr) {
        return nullptr;
    }
    if (info.samplerate != kOutputSampleRateHz || info.channels != kOutputChannels ||
        sf_seek(file, 0, SEEK_END) < 0) {
        sf_close(file);
        return nullptr;
    }
    return file;
}

SNDFILE* OpenAfresh(const std::filesystem::path& path) {
    SF_INFO info{};
    info.samplerate = kOutputSampleRateHz;
    info.channels = kOutputChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    return sf_open(path.c_str(), SFM_WRITE, &info);
}

}  // namespace

std::optional<WavRecording> WavRecording::Open(const std::filesystem::path& path) {
    static std::mutex mutex;
    static std::set<std::filesystem::path> started;
    const std::lock_guard lock(mutex);
    SNDFILE* file = started.contains(path) ? OpenForAppending(path) : nullptr;
    if (file == nullptr) {
        file = OpenAfresh(path);
    }
    if (file == nullptr) {
        return std::nullopt;
    }
    started.insert(path);
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // Keep the header true after every write, so that the file is whole even if the process
    // never gets to close it.
    sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
    return WavRecording(file);
}

}  // namespace rolvik::synth
