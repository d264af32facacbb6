#include "Number.h"

namespace rolvik {

std::optional<std::uint32_t> ReadNumber(ByteReader& cursor) {
    const std::size_t length = NumberLength(cursor.rest());
    if (length == 0 || (cursor.rest()[length - 1] & 0x80) != 0) {
        return std::nullopt;
    }
    const std::uint32_t value = PeekNumber(cursor.rest());
    cursor.Skip(length);
    return value;
}

std::uint32_t PeekNumber(Bytes bytes) {
    std::uint32_t value = 0;
    for (std::uint8_t byte : bytes) {
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    return value;
}

std::size_t NumberLength(Bytes bytes) {
    std::size_t length = 0;
    for (std::uint8_t byte : bytes) {
        ++length;
        if ((byte & 0x80) == 0) {
            break;
        }
    }
    return length;
}

std::size_t EncodedNumberSize(std::uint32_t value) {
    std::size_t size = 1;
    while ((value >>= 7) != 0) {
        ++size;
    }
    return size;
}

std::size_t WriteNumber(std::span<std::uint8_t> output, std::uint32_t value) {
    const std::size_t size = EncodedNumberSize(value);
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned shift = static_cast<unsigned>(7 * (size - 1 - i));
        const auto group = static_cast<std::uint8_t>((value >> shift) & 0x7F);
        output[i] = (i + 1 < size) ? static_cast<std::uint8_t>(group | 0x80) : group;
    }
    return size;
}

std::size_t WriteNumber(ByteVector& output, std::uint32_t value) {
    const std::size_t at = output.size();
    output.resize(at + EncodedNumberSize(value));
    return WriteNumber(std::span<std::uint8_t>(output).subspan(at), value);
}

std::optional<std::uint32_t> ReadShortNumber(ByteReader& cursor) {
    const auto first = cursor.PeekByte();
    if (!first) {
        return std::nullopt;
    }
    if ((*first & 0x80) == 0) {
        cursor.Skip(1);
        return *first;
    }
    const auto pair = cursor.ReadBytes(2);
    if (!pair) {
        return std::nullopt;
    }
    return ((std::uint32_t{(*pair)[0]} & 0x7F) + 1) * 128 | (*pair)[1];
}

void WriteShortNumber(ByteVector& output, std::uint32_t value) {
    if (value < 0x80) {
        output.push_back(static_cast<std::uint8_t>(value));
        return;
    }
    output.push_back(static_cast<std::uint8_t>(0x80 | ((value >> 7) - 1)));
    output.push_back(static_cast<std::uint8_t>(value & 0x7F));
}

}  // namespace rolvik
