#pragma once

namespace rolvik::synth::test {

// Counts the calls of the global allocator made on the calling thread while it lives: what
// runs inside it must not allocate when it is meant to run on the audio thread.
class AllocationCount {
  public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;

    int allocations() const;
};

}  // namespace rolvik::synth::test
