#include "EmuPlay.h"

#include "EmulatorBinding.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"

namespace rolvik {
namespace {

// The sequencer calls always address sound 1 in slot 1.
constexpr std::int32_t kSound = 1;
constexpr std::int32_t kSlot = 1;

constexpr std::int32_t kControlPosition = 4;
constexpr std::int32_t kControlStatus = 6;
constexpr std::int32_t kEmuInfoDevices = 4;

int Fail(const char* text) {
    ShowMessage(text, "Error", MessageIcon::Error);
    return 0;
}

}  // namespace

bool EmuPlayback::EmuPlayControl(std::int32_t control, int value) const {
    std::int32_t copy = value;
    return binding_.Engine().MaSound_Control(kSound, kSlot, control, &copy, 0) == 0;
}

void EmuPlayback::EmuPlayRestart() const {
    binding_.Engine().MaSound_Start(kSound, kSlot, controls_.RepeatLoops(), 0);
}

int EmuPlayback::StartSequencer(const Smaf& smaf, std::int32_t positionMs) const {
    const EngineFunctions& engine = binding_.Engine();
    engine.MaSound_EmuTerminate();
    if (engine.MaSound_EmuInitialize(kOutputSampleRateHz, kEngineModeSequencer,
                                     binding_.WorkPointer()) != 0) {
        return Fail("EmuInitialize2 failed!");
    }
    if (engine.MaSound_Initialize(0, binding_.WorkBlock(), 0) != 0) {
        return Fail("Initialize failed!");
    }
    if (engine.MaSound_DeviceControl(0x0D, 0, 0, 0) != 0) {
        return Fail("DeviceControl(0x0D, 0, 0, 0) failed!");
    }
    if (!binding_.DeviceSetup()) {
        return 0;
    }
    if (engine.MaSound_Create(kSound) != 1) {
        return Fail("Create failed!");
    }
    if (engine.MaSound_Load(kSound, smaf.fileData.data(),
                            static_cast<std::int32_t>(smaf.fileSize()), 1, nullptr, nullptr) != 1) {
        return Fail("Load failed!\nMay be incorrect SMAF specified.(CRC etc.)");
    }
    if (engine.MaSound_Open(kSound, kSlot, 0, 0) != 0) {
        return Fail("Open failed!");
    }
    if (engine.MaSound_Standby(kSound, kSlot, 0) != 0) {
        return Fail("Standby failed!");
    }
    if (!EmuPlayControl(kControlVolume, controls_.volume)) {
        return Fail("Control volume failed!");
    }
    if (!EmuPlayControl(kControlKeyPitch, controls_.keyPitch)) {
        return Fail("Control keypitch failed!");
    }
    if (!EmuPlayControl(kControlTempo, controls_.tempo)) {
        return Fail("Control tempo failed!");
    }
    if (engine.MaSound_Seek(kSound, kSlot, positionMs, 0, 0) != 0) {
        return Fail("Seek failed");
    }
    if (engine.MaSound_Start(kSound, kSlot, controls_.RepeatLoops(), 0) != 0) {
        return Fail("Start failed!");
    }
    return 1;
}

int EmuPlayback::EmuSMAFPlay(const Smaf* smaf, std::int32_t positionMs) const {
    if (!smaf) {
        return Fail("EmuSMAFPlay: smaf == NULL, it is probably a program bug!");
    }
    if (smaf->fileData.empty()) {
        return Fail("EmuSMAFPlay: No data. Please compile before EmuPlay.");
    }
    if (smaf->hasMa7Track) {
        ShowMessage(kMa7NoticeText, "Notice", MessageIcon::Information);
        return 0;
    }
    return StartSequencer(*smaf, positionMs);
}

void EmuPlayback::EmuSMAFStop() const {
    const EngineFunctions& engine = binding_.Engine();
    engine.MaSound_Stop(kSound, kSlot, 0);
    engine.MaSound_Close(kSound, kSlot, 0);
    engine.MaSound_Unload(kSound, kSlot, 0);
    engine.MaSound_Delete(kSound);
    engine.MaSound_Terminate();
    engine.MaSound_EmuTerminate();
    if (engine.MaSound_EmuInitialize(kOutputSampleRateHz, kEngineModeMidi,
                                     binding_.WorkPointer()) != 0) {
        Fail("EmuInitialize0 failed!");
        return;
    }
    binding_.DeviceSetup();
}

int EmuPlayback::EmuDeviceInfo() const {
    return binding_.Engine().MaSound_GetEmuInfo(kEmuInfoDevices);
}

int EmuPlayback::EmuPlayStatus() const {
    return binding_.Engine().MaSound_Control(kSound, kSlot, kControlStatus, nullptr, 0);
}

int EmuPlayback::EmuPlayPosition() const {
    return binding_.Engine().MaSound_Control(kSound, kSlot, kControlPosition, nullptr, 0);
}

int EmuPlayback::EmuPlaySeek(std::int32_t positionMs) const {
    const EngineFunctions& engine = binding_.Engine();
    engine.MaSound_Stop(kSound, kSlot, 0);
    if (engine.MaSound_Seek(kSound, kSlot, positionMs, 0, 0) != 0) {
        return 0;
    }
    engine.MaSound_Start(kSound, kSlot, controls_.RepeatLoops(), 0);
    return 1;
}

}  // namespace rolvik
