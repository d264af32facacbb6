#pragma once

#include <string>

#include "Bytes.h"
#include "FileView.h"

namespace rolvik {

// What is wrong with the frame of a SMAF file image (its view), as a notice for the user, or an
// empty text when nothing is. Only the first fault is named: the file ends before its file chunk
// does; else a chunk inside states more bytes than its surroundings hold; else the check code does
// not match. Bytes after the file chunk are no fault: several real files end with a stray line
// break there.
std::string DescribeFileDamage(const FileView& file);

}  // namespace rolvik
