#pragma once

#include <vector>

#include "core/Bytes.h"
#include "export/AudioTag.h"

namespace rolvik {

// The tags of an audio file made from a SMAF file: the items of its contents information, decoded
// as the report decodes them, and those of its optional data's "Dch" chunk that the contents
// information leaves out. Title, artist, copyright, creation date and category get fields of their
// own; every other item becomes a comment line "Label: value".
std::vector<AudioTag> SongTags(Bytes smafFile);

}  // namespace rolvik
