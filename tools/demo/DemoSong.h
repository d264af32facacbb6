#pragma once

#include <memory>

#include "core/Smaf.h"

namespace rolvik::demo {

// "Ode to Joy" (Beethoven, public domain) for melody, bass and drums: the song Rolvik opens when no
// file is given. 17 bars at 125 beats a minute, about 33 seconds.
std::unique_ptr<Smaf> BuildDemoSong();

}  // namespace rolvik::demo
