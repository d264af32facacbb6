#pragma once

#include <memory>

#include "core/Compiler.h"
#include "core/Number.h"
#include "core/Smaf.h"

namespace rolvik::bench {

// A ten-minute song of 10,000 notes on 16 tracks, 60 ms apart, with lengths up to two seconds and
// keys over five octaves, compiled so that the detail report has a file to describe.
inline std::unique_ptr<Smaf> TenThousandNoteSong() {
    auto song = CreateSmaf(4, 4);
    std::uint32_t seed = 2026;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (std::uint32_t i = 0; i < 10000; ++i) {
        ByteVector data{static_cast<std::uint8_t>(36 + next(60)), 100};
        WriteNumber(data, 4 * (10 + next(500)));
        InsertEvent(*song, std::make_unique<Event>(i * 60, static_cast<std::uint8_t>(0x90 | i % 16),
                                                   std::move(data)));
    }
    InsertEvent(*song, std::make_unique<Event>(10000 * 60 + 2000, 0xFF, ByteVector{0x2F, 0x00}));
    if (auto compiled = CompileSMAF(*song)) {
        song->fileData = std::move(*compiled);
    }
    return song;
}

// The song built once and shared by every benchmark of the process.
inline Smaf& SharedTenThousandNoteSong() {
    static const std::unique_ptr<Smaf> song = TenThousandNoteSong();
    return *song;
}

}  // namespace rolvik::bench
