#include "CompactBytes.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace rolvik {

CompactBytes::CompactBytes(Bytes bytes) {
    if (bytes.size() <= kInlineBytes) {
        std::copy(bytes.begin(), bytes.end(), bytes_);
        tag_ = static_cast<std::uint8_t>(bytes.size());
        return;
    }
    auto block = std::make_unique_for_overwrite<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), block.get());
    std::uint8_t* pointer = block.release();
    const auto size = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(bytes_, &pointer, sizeof pointer);
    std::memcpy(bytes_ + sizeof pointer, &size, sizeof size);
    tag_ = kOnHeap;
}

CompactBytes::CompactBytes(std::initializer_list<std::uint8_t> bytes)
    : CompactBytes(Bytes(bytes.begin(), bytes.size())) {}

CompactBytes::CompactBytes(CompactBytes&& other) noexcept {
    std::copy(std::begin(other.bytes_), std::end(other.bytes_), bytes_);
    tag_ = other.tag_;
    other.tag_ = 0;
}

CompactBytes& CompactBytes::operator=(const CompactBytes& other) {
    if (this != &other) {
        *this = CompactBytes(other);
    }
    return *this;
}

CompactBytes& CompactBytes::operator=(CompactBytes&& other) noexcept {
    if (this != &other) {
        Release();
        std::copy(std::begin(other.bytes_), std::end(other.bytes_), bytes_);
        tag_ = other.tag_;
        other.tag_ = 0;
    }
    return *this;
}

CompactBytes::~CompactBytes() {
    Release();
}

std::size_t CompactBytes::size() const {
    if (!onHeap()) {
        return tag_;
    }
    std::uint32_t size = 0;
    std::memcpy(&size, bytes_ + sizeof(std::uint8_t*), sizeof size);
    return size;
}

const std::uint8_t* CompactBytes::data() const {
    return onHeap() ? heapBlock() : bytes_;
}

std::uint8_t* CompactBytes::data() {
    return onHeap() ? heapBlock() : bytes_;
}

bool CompactBytes::Equal(Bytes a, Bytes b) {
    return std::ranges::equal(a, b);
}

std::uint8_t* CompactBytes::heapBlock() const {
    std::uint8_t* pointer = nullptr;
    std::memcpy(&pointer, bytes_, sizeof pointer);
    return pointer;
}

void CompactBytes::Release() {
    if (onHeap()) {
        std::unique_ptr<std::uint8_t[]> block(heapBlock());
        tag_ = 0;
    }
}

}  // namespace rolvik
