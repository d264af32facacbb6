// Writes the bundled demo song: rolvik-make-demo-song OUT.mmf

#include <cstdio>
#include <string>

#include "DemoSong.h"
#include "core/Compiler.h"
#include "core/FileIO.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.mmf\n", argv[0]);
        return 2;
    }
    const auto song = rolvik::demo::BuildDemoSong();
    const auto bytes = rolvik::CompileSMAF(*song);
    std::string error;
    if (!bytes || !rolvik::WriteFileAtomically(argv[1], *bytes, error)) {
        std::fprintf(stderr, "cannot write the demo song: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
