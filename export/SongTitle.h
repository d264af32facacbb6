#pragma once

#include <string>

#include "core/Smaf.h"

namespace rolvik {

// The song's title as the file's own bytes (in the code page the file declares): the "ST" item of
// the contents information's optional text, or else of the optional data's "Dch" chunk. Empty when
// the file names none.
std::string SongTitle(const Smaf& document);

}  // namespace rolvik
