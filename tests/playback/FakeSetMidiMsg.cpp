#include <cstdint>
#include <type_traits>

#include "FakeEngine.h"
#include "synth/EmulatorInterface.h"

extern "C" std::int32_t SetMidiMsg(const std::uint8_t* message, std::int32_t size) {
    rolvik::fake::EngineCall call{
        "SetMidiMsg", {size}, std::nullopt, rolvik::ByteVector(message, message + size)};
    return rolvik::fake::TheFakeEngine().Call(std::move(call), 0);
}

static_assert(std::is_same_v<decltype(&SetMidiMsg), SetMidiMsg_t>);
