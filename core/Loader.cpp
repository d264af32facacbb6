#include "Loader.h"

#include <new>
#include <optional>
#include <string>

#include "ByteReader.h"
#include "EventBatch.h"
#include "FileDamage.h"
#include "FileIO.h"
#include "FileView.h"
#include "HandyPhoneConverter.h"
#include "HandyPhoneOnly.h"
#include "Huffman.h"
#include "MobileStandardConverter.h"
#include "Number.h"
#include "ScoreTrack.h"
#include "ShowMessage.h"
#include "SmafExclusive.h"
#include "Timebase.h"

namespace rolvik {
namespace {

// The format and the two timebase codes are the least a track must hold to be read at all.
bool ReadTimebases(Smaf& smaf, const ScoreTrackView& track, Diagnostics& diagnostics) {
    if (!track.gateBase) {
        diagnostics.Error("Score track of " + std::to_string(track.contents.size()) +
                          " bytes is too short for its header");
        return false;
    }
    const auto duration = TimebaseMs(*track.durationBase);
    if (!duration) {
        diagnostics.Error("Unknown duration timebase");
        return false;
    }
    smaf.durationBase = *duration;
    const auto gate = TimebaseMs(*track.gateBase);
    if (!gate) {
        diagnostics.Error("Unknown gatetime timebase");
        return false;
    }
    smaf.gateBase = *gate;
    return true;
}

// Every decoded byte takes at least one bit of the code stream but for a tree of one leaf, which
// is no way to write a real song: a stream may declare at most 8 decoded bytes for each of its
// bits. More is refused before the block is allocated, so that a few bytes cannot claim megabytes.
constexpr std::uint64_t kMostDecodedBytesPerInputByte = 8 * 8;

bool DeclaresMoreThanItHolds(std::uint32_t decodedSize, Bytes codeStream) {
    return decodedSize > kMostDecodedBytesPerInputByte * codeStream.size();
}

std::optional<ByteVector> DecodeCompressedSequence(Bytes sequence, Diagnostics& diagnostics) {
    ByteReader cursor(sequence);
    const auto decodedSize = cursor.ReadU32BigEndian();
    if (decodedSize && *decodedSize > kMaxDecodedSequenceBytes) {
        diagnostics.Error("Compressed sequence states " + std::to_string(*decodedSize) +
                          " bytes, more than the " + std::to_string(kMaxDecodedSequenceBytes) +
                          " a song may have");
        return std::nullopt;
    }
    if (decodedSize && DeclaresMoreThanItHolds(*decodedSize, cursor.rest())) {
        diagnostics.Error("SMAF: LoadSmaf: huffmanDecode failed");
        return std::nullopt;
    }
    ByteVector decoded;
    try {
        decoded.resize(decodedSize.value_or(0));
    } catch (const std::bad_alloc&) {
        diagnostics.Error("Can't alloc memory");
        return std::nullopt;
    }
    if (!decodedSize || !huffmanDecode(decoded, cursor.rest(), diagnostics)) {
        diagnostics.Error("SMAF: LoadSmaf: huffmanDecode failed");
        return std::nullopt;
    }
    return decoded;
}

void LoadHandyPhoneTrack(EventBatch& batch, const ScoreTrackView& track, Diagnostics& diagnostics) {
    diagnostics.Report(
        "Notice: This is written in HPS format, Rolvik can't convert accurately. Sorry.\n"
        "(This message will appear several times.)",
        "Notice", MessageIcon::Information);
    if (track.setup) {
        ConvertHandyPhoneEvents(batch, *track.setup, true, std::nullopt, std::nullopt,
                                track.channelBase, diagnostics);
    }
    if (track.sequence) {
        ConvertHandyPhoneEvents(batch, *track.sequence, false, track.seek.start, track.seek.stop,
                                track.channelBase, diagnostics);
    }
}

bool LoadMobileStandardTrack(EventBatch& batch, const ScoreTrackView& track, bool compressed,
                             Diagnostics& diagnostics) {
    if (track.setup) {
        ConvertEvents(batch, *track.setup, true, std::nullopt, std::nullopt, diagnostics);
    }
    if (!track.sequence) {
        return true;
    }
    if (!compressed) {
        ConvertEvents(batch, *track.sequence, false, track.seek.start, track.seek.stop,
                      diagnostics);
        return true;
    }
    const std::optional<ByteVector> decoded =
        DecodeCompressedSequence(*track.sequence, diagnostics);
    if (!decoded) {
        return false;
    }
    ConvertEvents(batch, *decoded, false, track.seek.start, track.seek.stop, diagnostics);
    return true;
}

bool HasVoiceSetExclusive(const Smaf& smaf) {
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        if (event->status == kExclusive && !event->data.empty() &&
            IsVoiceDefinitionLength(PeekNumber(event->data))) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<ByteVector> ReadFileImage(const std::filesystem::path& path) {
    ReadFailure failure{};
    std::optional<ByteVector> image = ReadWholeFile(path, failure);
    if (!image) {
        const ReadFailureTexts texts = {"Can't open " + path.string(), "Can't alloc memory",
                                        "Couldn't read file.", TooLargeToReadText()};
        ShowMessage(texts[static_cast<std::size_t>(failure)], "Error", MessageIcon::Error);
    }
    return image;
}

void ReadFileFacts(Smaf& smaf, const FileView& file) {
    smaf.handyPhoneOnly = IsHandyPhoneOnly(file);
    smaf.hasStreamWaves = !file.streamWaves.empty();
}

void ReadFileFacts(Smaf& smaf) {
    ReadFileFacts(smaf, ViewFile(smaf.fileData));
}

bool LoadSmaf(Smaf& smaf, const FileView& file, Diagnostics& diagnostics) {
    DistinctDiagnostics oncePerLoad(diagnostics);
    FreeEvents(smaf);
    ReadFileFacts(smaf, file);
    smaf.hasMa7Track = false;
    if (!file.file) {
        oncePerLoad.Error("This is not SMAF");
        return false;
    }
    if (const std::string damage = DescribeFileDamage(file); !damage.empty()) {
        oncePerLoad.Report(damage, "Notice", MessageIcon::Information);
    }
    EventBatch batch(smaf);
    for (const ScoreTrackView& track : file.scoreTracks) {
        if (!ReadTimebases(smaf, track, oncePerLoad)) {
            return false;
        }
        const std::uint8_t format = *track.formatType;
        if (format == kHandyPhoneStandard) {
            LoadHandyPhoneTrack(batch, track, oncePerLoad);
        } else if (format == kMobileStandardCompressed || format == kMobileStandard) {
            if (!LoadMobileStandardTrack(batch, track, format == kMobileStandardCompressed,
                                         oncePerLoad)) {
                return false;
            }
        } else if (format == kMa7) {
            smaf.hasMa7Track = true;
            oncePerLoad.Report(kMa7NoticeText, "Notice", MessageIcon::Information);
        }
    }
    batch.Commit();
    if (HasVoiceSetExclusive(smaf)) {
        oncePerLoad.Report(
            "Notice: There are some VoiceSet Exclusives, but Rolvik can't emulate accurately. Use "
            "EmuPlay to play accrately.",
            "Notice", MessageIcon::Information);
    }
    return true;
}

bool LoadSmaf(Smaf& smaf, Diagnostics& diagnostics) {
    return LoadSmaf(smaf, ViewFile(smaf.fileData), diagnostics);
}

bool LoadSmaf(Smaf& smaf) {
    UserDiagnostics toUser;
    return LoadSmaf(smaf, toUser);
}

std::unique_ptr<Smaf> OpenSmaf(const std::filesystem::path& path) {
    std::unique_ptr<Smaf> smaf = CreateSmaf(0, 0);
    std::optional<ByteVector> image = ReadFileImage(path);
    if (!image) {
        return CloseSmaf(std::move(smaf));
    }
    smaf->fileData = std::move(*image);
    if (!LoadSmaf(*smaf)) {
        return CloseSmaf(std::move(smaf));
    }
    return smaf;
}

}  // namespace rolvik
