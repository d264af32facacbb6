#include "AudioTrackFile.h"

#include <array>
#include <string_view>

#include "ByteWriter.h"
#include "CheckCode.h"
#include "Chunk.h"

namespace rolvik {
namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kCheckCodeBytes = 2;

void AppendAudioTrackChunk(ByteWriter& out, std::uint8_t trackNumber, Bytes audioTrack) {
    out.AppendText("ATR");
    out.AppendByte(trackNumber);
    out.AppendU32BigEndian(static_cast<std::uint32_t>(audioTrack.size()));
    out.Append(audioTrack);
}

// Closes the file chunk that begins at `fileStart`: its size, counting the check code, and the
// check code of every byte from its ID on.
void CloseFileChunk(ByteVector& bytes, std::size_t fileStart) {
    ByteWriter out(bytes);
    const std::size_t contentsSize = bytes.size() - fileStart - kChunkHeaderBytes + kCheckCodeBytes;
    out.PutU32BigEndian(fileStart + 4, static_cast<std::uint32_t>(contentsSize));
    out.AppendU16BigEndian(SmafCheckCode(Bytes(bytes).subspan(fileStart)));
}

std::optional<std::uint8_t> FreeAudioTrackNumber(Bytes run) {
    std::array<bool, 256> used{};
    ChunkWalker chunks(run);
    while (auto entry = chunks.Next()) {
        if (BytesEqual(entry->id.first(3), "ATR")) {
            used[entry->id[3]] = true;
        }
    }
    for (std::size_t number = 0; number < used.size(); ++number) {
        if (!used[number]) {
            return static_cast<std::uint8_t>(number);
        }
    }
    return std::nullopt;
}

}  // namespace

ByteVector BuildAudioOnlySmaf(Bytes contentsInfo, Bytes audioTrack) {
    ByteVector bytes;
    ByteWriter out(bytes);
    out.AppendText("MMMD");
    out.ReserveU32();
    out.AppendText("CNTI");
    out.AppendU32BigEndian(static_cast<std::uint32_t>(contentsInfo.size()));
    out.Append(contentsInfo);
    AppendAudioTrackChunk(out, 0, audioTrack);
    CloseFileChunk(bytes, 0);
    return bytes;
}

std::optional<ByteVector> AddAudioTrack(Bytes songImage, Bytes audioTrack) {
    const auto file = FindChunk(songImage, "MMMD");
    if (!file || file->contents.size() != file->statedSize || file->statedSize < kCheckCodeBytes) {
        return std::nullopt;
    }
    const Bytes run = file->contents.first(file->statedSize - kCheckCodeBytes);
    const auto trackNumber = FreeAudioTrackNumber(run);
    if (!trackNumber) {
        return std::nullopt;
    }
    const auto fileStart =
        static_cast<std::size_t>(file->contents.data() - songImage.data()) - kChunkHeaderBytes;
    const std::size_t fileEnd = fileStart + kChunkHeaderBytes + file->statedSize;
    ByteVector bytes(songImage.begin(), songImage.begin() + static_cast<std::ptrdiff_t>(fileStart));
    ByteWriter out(bytes);
    out.AppendText("MMMD");
    out.ReserveU32();
    out.Append(run);
    AppendAudioTrackChunk(out, *trackNumber, audioTrack);
    CloseFileChunk(bytes, fileStart);
    out.Append(songImage.subspan(fileEnd));
    return bytes;
}

}  // namespace rolvik
