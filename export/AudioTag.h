#pragma once

#include <string>

namespace rolvik {

// The fields an audio file's tags offer: Vorbis comments, ID3 frames, the WAV INFO list.
enum class AudioTagField { Title, Artist, Copyright, Date, Genre, Comment };

// One tag in UTF-8. Several comments go into the one comment field, a line each.
struct AudioTag {
    AudioTagField field;
    std::string value;
};

}  // namespace rolvik
