#pragma once

#include <string>

#include "Bytes.h"

namespace rolvik {

// The texts a new file's contents information names, in UTF-8; an empty one is left out.
struct ContentsTexts {
    std::string title;
    std::string artist;
    std::string copyright;
};

// A "CNTI" body for a new ringtone: Yamaha's class, a ringtone type, the contents code of its
// texts, editing, saving and transfer allowed, no copies made; then the items "ST", "AN" and "CR"
// for the texts given. The texts are written in Latin-1 when all of them fit it, otherwise in
// Shift-JIS when they fit that, otherwise in UTF-8, and the contents code says which.
ByteVector BuildContentsInfo(const ContentsTexts& texts);

}  // namespace rolvik
