#pragma once

#include <string>

#include "core/Smaf.h"

namespace rolvik {

// The song's title in UTF-8, decoded by the code the file declares for its text: the "ST" item of
// the contents information's optional text, or else of the optional data's "Dch" chunk. Empty when
// the file names none.
std::string SongTitle(const Smaf& document);

}  // namespace rolvik
