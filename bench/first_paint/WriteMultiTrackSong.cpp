// Writes the core benchmark's 16-track song with the given number of events:
//   rolvik-write-multitrack-song EVENTS OUT.mmf

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/MultiTrackSong.h"
#include "core/FileIO.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s EVENTS OUT.mmf\n", argv[0]);
        return 2;
    }
    const rolvik::ByteVector song = rolvik::MultiTrackSong(std::atoll(argv[1]));
    std::string error;
    if (!rolvik::WriteFileAtomically(argv[2], song, error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
