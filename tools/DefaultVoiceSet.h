#pragma once

#include <optional>

#include "core/Bytes.h"

namespace rolvik::tools {

// Our voice-set file in the FMM3 layout, made from a GENMIDI lump: the 128 melody programs at bank
// 124/0 (programs 0 to 127) and the percussion keys 35 to 81 at bank 125/0, program 0, each with
// its instrument's name cut to 16 bytes: the engine's built-in voices, the kit's drums of the
// chip's waves as PCM records. Nothing when the lump is not a GENMIDI lump.
std::optional<ByteVector> BuildDefaultVoiceSet(Bytes genMidiLump);

}  // namespace rolvik::tools
