#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

#include "FakeEngine.h"
#include "playback/EngineSession.h"
#include "playback/PlaybackController.h"
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

// Runs each test on an engine session of its own over the fake engine library, with a clock the
// test moves by hand and a controller over the session, and records every message.
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake.Reset();
        setenv("ROLVIK_ENGINE", ROLVIK_FAKE_ENGINE, 1);
        if (loadInSetUp) {
            ASSERT_EQ(engine->binding().LoadEmulator(), 1);
            fake.calls.clear();
        }
    }

    void TearDown() override {
        fake.answer = nullptr;
        fake.results.clear();
        engine->binding().ReleaseEmulator();
        unsetenv("ROLVIK_ENGINE");
    }

    bool loadInSetUp = true;
    fake::FakeEngine& fake = fake::TheFakeEngine();
    testing::MessageRecorder recorder;
    std::uint32_t nowMs = 1000;
    std::unique_ptr<EngineSession> engine =
        std::make_unique<EngineSession>([this] { return nowMs; });
    PlaybackController playback{*engine};
};

}  // namespace rolvik
