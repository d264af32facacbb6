#include "FakeEngine.h"

namespace rolvik::fake {

FakeEngine& TheFakeEngine() {
    static FakeEngine engine;
    return engine;
}

std::vector<std::string> FakeEngine::Names() const {
    std::vector<std::string> names;
    for (const EngineCall& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

std::vector<ByteVector> FakeEngine::MidiMessages() const {
    std::vector<ByteVector> messages;
    for (const EngineCall& call : calls) {
        if (call.name == "SetMidiMsg") {
            messages.push_back(call.bytes);
        }
    }
    return messages;
}

std::int32_t FakeEngine::Call(EngineCall call, std::int32_t defaultResult) {
    calls.push_back(std::move(call));
    const EngineCall& recorded = calls.back();
    if (answer) {
        if (auto result = answer(recorded)) {
            return *result;
        }
    }
    auto fixed = results.find(recorded.name);
    return fixed != results.end() ? fixed->second : defaultResult;
}

}  // namespace rolvik::fake
