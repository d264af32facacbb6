// Feeds arbitrary bytes to the wave and audio-track readers: as a file image, and as the contents
// of a single audio track, wave record, stream wave or stream-wave message, so that each reader
// meets hostile bytes directly and not only behind a well-formed file.

#include <cstddef>
#include <cstdint>

#include "core/AudioTrack.h"
#include "core/StreamWaveMessage.h"
#include "core/WaveBank.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    const Bytes input(data, size);
    ReadWaveBank(input);
    ReadAudioTracks(input);
    AudioTrack track;
    ReadAudioTrack(input, track);
    WaveBank bank;
    ReadWaveRecord(input, bank);
    ReadStreamWave(1, input, bank);
    std::uint8_t number = 0;
    ByteVector contents;
    if (ReadStreamWaveMessage(input, number, contents)) {
        ReadStreamWave(number, contents, bank);
    }
    return 0;
}
