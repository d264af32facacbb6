#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace rolvik::synth::test {
namespace {

thread_local bool counting = false;
thread_local int counted = 0;

void* Allocate(std::size_t size) {
    if (counting) {
        ++counted;
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

}  // namespace

AllocationCount::AllocationCount() {
    counted = 0;
    counting = true;
}

AllocationCount::~AllocationCount() {
    counting = false;
}

int AllocationCount::allocations() const {
    return counted;
}

}  // namespace rolvik::synth::test

// The replacement allocator of the test program: the standard's, counting.
void* operator new(std::size_t size) {
    return rolvik::synth::test::Allocate(size);
}

void* operator new[](std::size_t size) {
    return rolvik::synth::test::Allocate(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
