#pragma once

#include <optional>

#include "Bytes.h"

namespace rolvik {

// A SMAF file of the contents information and one audio track ("ATR" 0), closed by its check code.
ByteVector BuildAudioOnlySmaf(Bytes contentsInfo, Bytes audioTrack);

// The song's file with one more audio track behind the chunks of its file chunk, under the first
// track number no audio track of the song uses. Every other byte of the song stays as it is; the
// file chunk's size and its check code are made anew. None when the image holds no whole file
// chunk or every track number is taken.
std::optional<ByteVector> AddAudioTrack(Bytes songImage, Bytes audioTrack);

}  // namespace rolvik
