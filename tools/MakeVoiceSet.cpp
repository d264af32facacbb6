// Makes our voice-set file (DefMA3_16.vm3) from a GENMIDI lump:
//   rolvik-make-voiceset GENMIDI.lmp DefMA3_16.vm3

#include <iostream>
#include <string>

#include "DefaultVoiceSet.h"
#include "core/FileIO.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: rolvik-make-voiceset GENMIDI.lmp OUTPUT.vm3\n";
        return 2;
    }
    auto lump = rolvik::ReadWholeFile(argv[1]);
    if (!lump) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    auto voiceSet = rolvik::tools::BuildDefaultVoiceSet(*lump);
    if (!voiceSet) {
        std::cerr << argv[1] << ": not a GENMIDI lump\n";
        return 1;
    }
    std::string error;
    if (!rolvik::WriteFileAtomically(argv[2], *voiceSet, error)) {
        std::cerr << argv[2] << ": " << error << '\n';
        return 1;
    }
    return 0;
}
