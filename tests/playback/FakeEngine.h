#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/Bytes.h"

namespace rolvik::fake {

// One call into the fake engine library: the export's name, its integer arguments (pointers to
// work memory as addresses), the value behind MaSound_Control's pointer, and the bytes handed to
// MaSound_Load or SetMidiMsg.
struct EngineCall {
    std::string name;
    std::vector<std::int64_t> args;
    std::optional<std::int32_t> pointedValue;
    ByteVector bytes;
};

// The state of the fake engine library, shared by the test and the library's exports. By default
// every call succeeds (MaSound_Create and MaSound_Load answer 1); the status query answers
// `status`, the position query `positionMs`, MaSound_GetEmuInfo `emuInfo`.
struct FakeEngine {
    std::vector<EngineCall> calls;
    std::map<std::string, std::int32_t> results;  // a fixed answer for every call of that export
    // Asked first for every call; an answer replaces the default.
    std::function<std::optional<std::int32_t>(const EngineCall&)> answer;
    std::int32_t status = 4;
    std::int32_t positionMs = 0;
    std::int32_t emuInfo = 0;

    void Reset() { *this = FakeEngine{}; }
    std::vector<std::string> Names() const;
    std::vector<ByteVector> MidiMessages() const;

    // Records the call and works out its result.
    std::int32_t Call(EngineCall call, std::int32_t defaultResult);
};

FakeEngine& TheFakeEngine();

}  // namespace rolvik::fake
