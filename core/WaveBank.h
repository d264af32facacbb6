#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "Bytes.h"
#include "FileView.h"
#include "Wave.h"

namespace rolvik {

// The waves a song carries for its score tracks, in two numbering spaces that songs reuse
// independently (the same number may name different waves in each):
// - records: the wave records of the setup data ("Mtsu"), named by sampled voice definitions;
// - streams: the waves of the stream chunk ("Mtsp"), each with its own rate, played by drum-bank
//   notes.
struct WaveBank {
    std::map<std::uint8_t, Wave> records;
    std::map<std::uint8_t, Wave> streams;

    // The wave a sampled voice names: a record first, a stream wave of that number otherwise.
    const Wave* ForVoice(std::uint8_t id) const;
    const Wave* Stream(std::uint8_t number) const;
    bool empty() const { return records.empty() && streams.empty(); }
};

// The "Mwa" chunks of every Mobile Standard score track of a file image: their numbers and
// contents, in file order.
std::vector<StreamWaveChunk> FindStreamWaves(Bytes image);

// Reads and decodes every wave of the Mobile Standard score tracks of a file image. A malformed
// wave is left out; the others are kept.
WaveBank ReadWaveBank(const FileView& file);
WaveBank ReadWaveBank(Bytes image);

// Reads one wave record (an exclusive's bytes between F0 and F7); false when the bytes are no
// wave record or a broken one. Chip model 6 packs the data in seven-bit groups, model 7 sends it
// plain.
bool ReadWaveRecord(Bytes body, WaveBank& bank);

// Reads one stream wave's contents: type, rate (16 bits, big-endian), data. Only 4-bit ADPCM,
// mono or stereo, is known; anything else is left out (false).
bool ReadStreamWave(std::uint8_t number, Bytes contents, WaveBank& bank);

}  // namespace rolvik
