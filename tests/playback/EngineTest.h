#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "FakeEngine.h"
#include "core/ShowMessage.h"
#include "playback/EmuPlay.h"
#include "playback/EmulatorBinding.h"
#include "playback/MidiPlay.h"
#include "playback/TickCount.h"
#include "playback/VoiceSet.h"

namespace rolvik {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

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
        FreeVoiceTable();
        ReleaseEmulator();
        SetTickSource(previousClock);
        unsetenv("ROLVIK_ENGINE");
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& message : messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    bool loadInSetUp = true;
    fake::FakeEngine& fake = fake::TheFakeEngine();
    std::vector<ShownMessage> messages;
    ScopedMessageHandler recorder{
        [this](std::string_view text, std::string_view caption, MessageIcon icon) {
            messages.push_back({std::string(text), std::string(caption), icon});
        }};
    std::uint32_t nowMs = 1000;
    TickSource previousClock = SetTickSource([this] { return nowMs; });
};

}  // namespace rolvik
