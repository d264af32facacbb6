#include "SeekPoints.h"

#include <string_view>

#include "ByteReader.h"
#include "Chunk.h"

namespace rolvik {
namespace {

bool ReadTaggedOffset(ByteReader& cursor, std::string_view tag,
                      std::optional<std::uint32_t>& into) {
    const auto taggedItemSize = 2 + 1 + 4;
    if (cursor.remaining() < taggedItemSize || !BytesEqual(cursor.rest().first(2), tag)) {
        return false;
    }
    cursor.Skip(3);  // the tag and its separator byte
    into = cursor.ReadU32BigEndian();
    return true;
}

}  // namespace

void ReadSeekPoints(Bytes info, SeekPoints& points) {
    ByteReader cursor(info);
    while (!cursor.empty()) {
        ReadTaggedOffset(cursor, "st", points.start);
        ReadTaggedOffset(cursor, "sp", points.stop);
        if (cursor.PeekByte() != std::uint8_t{','}) {
            return;
        }
        cursor.Skip(1);
    }
}

void AppendSeekItem(ByteWriter& out, std::string_view tag, std::uint32_t offset) {
    out.AppendText(tag);
    out.AppendByte(':');
    out.AppendU32BigEndian(offset);
    out.AppendByte(',');
}

}  // namespace rolvik
