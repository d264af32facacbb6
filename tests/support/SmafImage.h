#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "core/Bytes.h"
#include "core/CheckCode.h"

namespace rolvik::testing {

// Builds SMAF images by hand for tests: chunks with big-endian sizes, score tracks with their fixed
// headers, and a file closed by its check code.
inline ByteVector Concat(std::initializer_list<ByteVector> parts) {
    ByteVector all;
    for (const ByteVector& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

inline ByteVector MakeChunk(std::string_view id, const ByteVector& contents) {
    ByteVector chunk(id.begin(), id.end());
    const auto size = static_cast<std::uint32_t>(contents.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        chunk.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    chunk.insert(chunk.end(), contents.begin(), contents.end());
    return chunk;
}

// A Mobile Standard (format 2, or 1 when compressed) or HandyPhone Standard (format 0) score track
// whose chunk run follows the fixed header.
inline ByteVector MakeTrack(std::uint8_t number, std::uint8_t format, std::uint8_t durationCode,
                            std::uint8_t gateCode, const ByteVector& run) {
    ByteVector contents{format, 0x00, durationCode, gateCode};
    contents.insert(contents.end(), format == 0 ? 2 : 16, 0x00);
    contents.insert(contents.end(), run.begin(), run.end());
    const std::string id{'M', 'T', 'R', static_cast<char>(number)};
    return MakeChunk(id, contents);
}

// "MMMD" around the given chunks, with a valid check code at its end.
inline ByteVector MakeFile(const ByteVector& chunks) {
    ByteVector contents = chunks;
    contents.push_back(0);
    contents.push_back(0);
    ByteVector file = MakeChunk("MMMD", contents);
    const std::uint16_t check = SmafCheckCode(Bytes(file).first(file.size() - 2));
    file[file.size() - 2] = static_cast<std::uint8_t>(check >> 8);
    file[file.size() - 1] = static_cast<std::uint8_t>(check & 0xFF);
    return file;
}

}  // namespace rolvik::testing
