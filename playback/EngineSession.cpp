#include "EngineSession.h"

#include <cstdio>
#include <utility>

#include "VoiceMessage.h"
#include "core/ShowMessage.h"
#include "core/SmafExclusive.h"

namespace rolvik {
namespace {

// The melody bank is copied to its ten LSBs; the drum kit to programs 2 to 9 besides its own.
constexpr int kMelodyBankCopies = 10;
constexpr int kFirstDrumProgramCopy = 2;
constexpr int kLastDrumProgramCopy = 9;

void ShowAssignFailure(const Voice& voice) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "PresetVoices EmuSetMidiMsg(Assign) failed at Bank%d:%d, PC%d, Note%d",
                  voice.bankMsb, voice.bankLsb, voice.program, voice.note);
    ShowMessage(text, "Error", MessageIcon::Error);
}

}  // namespace

EngineSession::EngineSession(TickSource clock) : clock_(std::move(clock)) {}

int EngineSession::EmuMIDISetVolume() const {
    if (EmuSetMidiMsg(MasterVolumeMessage(controls_.volume)) != 0) {
        ShowMessage("EmuMIDISetVolume failed", "Error", MessageIcon::Error);
        return 0;
    }
    return 1;
}

void EngineSession::AssignVoice(std::size_t index, std::optional<std::uint8_t> bankLsb,
                                std::optional<std::uint8_t> program) const {
    const std::vector<Voice>& voiceTable = voices_.voiceTable();
    if (index >= voiceTable.size()) {
        return;
    }
    Voice voice = voiceTable[index];
    voice.bankLsb = bankLsb.value_or(voice.bankLsb);
    voice.program = program.value_or(voice.program);
    const ByteVector message =
        voice.type == kVoiceTypeFm ? BuildFmVoiceMessage(voice) : BuildPcmVoiceMessage(voice);
    if (EmuSetMidiMsg(message) != 0) {
        ShowAssignFailure(voice);
    }
}

void EngineSession::PresetVoices() const {
    if (EmuSetMidiMsg(kResetMessage) != 0) {
        ShowMessage("SetMidiMsg ini failed", "Error", MessageIcon::Error);
        return;
    }
    EmuMIDISetVolume();
    const std::vector<Voice>& voiceTable = voices_.voiceTable();
    for (std::size_t index = 0; index < voiceTable.size(); ++index) {
        const Voice& voice = voiceTable[index];
        if (voice.bankMsb == kMelodyBank && voice.bankLsb == 0) {
            for (int lsb = 0; lsb < kMelodyBankCopies; ++lsb) {
                AssignVoice(index, static_cast<std::uint8_t>(lsb), std::nullopt);
            }
        } else if (voice.bankMsb == kDrumBank && voice.bankLsb == 0) {
            AssignVoice(index, std::nullopt, std::nullopt);
            for (int program = kFirstDrumProgramCopy; program <= kLastDrumProgramCopy; ++program) {
                AssignVoice(index, std::nullopt, static_cast<std::uint8_t>(program));
            }
        } else {
            AssignVoice(index, std::nullopt, std::nullopt);
        }
    }
}

std::unique_ptr<EngineSession> StartEngineSession(const std::filesystem::path& voiceSetPath,
                                                  const EngineControls& controls,
                                                  TickSource clock) {
    auto session = std::make_unique<EngineSession>(std::move(clock));
    if (!session->binding().LoadEmulator()) {
        return nullptr;
    }
    session->controls() = controls;
    session->voices().LoadVoiceSet(voiceSetPath);
    session->PresetVoices();
    return session;
}

}  // namespace rolvik
