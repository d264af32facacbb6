#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "Diagnostics.h"
#include "FileView.h"
#include "Smaf.h"

namespace rolvik {

// Largest decoded sequence a compressed score track may state. Real songs stay far below it; a
// larger claim is damage, and believing it would exhaust memory before decoding could notice.
constexpr std::uint32_t kMaxDecodedSequenceBytes = 16 * 1024 * 1024;

// Shown once when a song with an MA-7 score track opens, and again when EmuPlay is asked to play
// it.
inline constexpr std::string_view kMa7NoticeText =
    "Notice: This is written in MA-7 format, which Rolvik can show but not play.";

// The bytes of a SMAF file as OpenSmaf reads them, or nothing after a message that says why.
std::optional<ByteVector> ReadFileImage(const std::filesystem::path& path);

// Reads the whole file into a new document and converts its score tracks. Null after a message
// that says why.
std::unique_ptr<Smaf> OpenSmaf(const std::filesystem::path& path);

// Rebuilds the document's event list from its file image. On failure (after a message) the list
// holds whatever had been converted before the failure. Each distinct message goes to
// `diagnostics` once per load, however many tracks or events give it.
bool LoadSmaf(Smaf& smaf, Diagnostics& diagnostics);

// The same, from the view of the document's file image that the caller has made already.
bool LoadSmaf(Smaf& smaf, const FileView& file, Diagnostics& diagnostics);

// The same, showing the messages to the user.
bool LoadSmaf(Smaf& smaf);

// Sets the facts of the file image that the document keeps (handyPhoneOnly, hasStreamWaves), as
// LoadSmaf does before anything else.
void ReadFileFacts(Smaf& smaf);

}  // namespace rolvik
