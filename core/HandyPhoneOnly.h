#pragma once

#include "Bytes.h"
#include "FileView.h"

namespace rolvik {

// Whether the file image's score tracks are all HandyPhone Standard ones (and there is at least
// one). Such a song has no drum channel: its channel index 9 is the second channel of its third
// track, with nothing of General MIDI's drum channel about it. Tracks of a format the loader does
// not read are left out; an image that is no SMAF file answers false.
bool IsHandyPhoneOnly(const FileView& file);
bool IsHandyPhoneOnly(Bytes fileImage);

}  // namespace rolvik
