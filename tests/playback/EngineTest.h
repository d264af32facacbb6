#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "FakeEngine.h"
#include "playback/EmuPlay.h"
#include "playback/EmulatorBinding.h"
#include "playback/MidiPlay.h"
#include "playback/TickCount.h"
#include "playback/VoiceSet.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {

// The arguments a call to the fake engine is expected to have recorded.
inline std::vector<std::int64_t> Args(std::initializer_list<std::int64_t> args) {
    return args;
}

// A pointer as the fake engine records it among a call's arguments.
inline std::int64_t Address(const void* pointer) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(pointer));
}

// Runs each test against the fake engine library with a clock the test moves by hand, records
// every message, and leaves the process-wide playback state as it found it.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.Reset();
        setenv("ROLVIK_ENGINE", ROLVIK_FAKE_ENGINE, 1);
        if (loadInSetUp) {
            ASSERT_EQ(LoadEmulator(), 1);
            fake.calls.clear();
        }
    }

    void TearDown() override {
        fake.answer = nullptr;
        fake.results.clear();
        if (emuActive) {
            EmuSMAFStop();
        }
        if (Engine().SetMidiMsg) {
            EmuMIDIStop();
        }
        SetTrackFilter(kAllTracks);
        SetVolume(127);
        SetTempo(100);
        SetKeyPitch(0);
        SetRepeat(false);
        FreeVoiceTable();
        ReleaseEmulator();
        SetTickSource(previousClock);
        unsetenv("ROLVIK_ENGINE");
    }

    bool loadInSetUp = true;
    fake::FakeEngine& fake = fake::TheFakeEngine();
    testing::MessageRecorder recorder;
    std::uint32_t nowMs = 1000;
    TickSource previousClock = SetTickSource([this] { return nowMs; });
};

}  // namespace rolvik
