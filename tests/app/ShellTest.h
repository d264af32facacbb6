#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "core/Number.h"
#include "tests/playback/EngineTest.h"
#include "tests/support/QtTestApplication.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {

// The main window over an engine session on the fake engine library with the committed voice set,
// with a hand-moved clock, recorded messages and stand-ins for the dialogs, the Shift key and
// pop-up menus.
class ShellTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        test::EnsureQtApplication();
        UsePrivateUserSettings();
        SetDefaultSettings();
        engine->voices().LoadVoiceSet(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res" /
                                      kVoiceSetFileName);
        engine->PresetVoices();
        window = MakeWindow();
        window->resize(800, 600);
        fake.calls.clear();
        recorder.messages.clear();
    }

    void TearDown() override {
        window.reset();
        EngineTest::TearDown();
    }

    // What the program remembers between runs goes to a folder of the tests' own, emptied before
    // every test.
    static void UsePrivateUserSettings() {
        static const QTemporaryDir folder;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Rolvik", "rolvik").clear();
    }

    std::unique_ptr<MainWindow> MakeWindow() {
        ShellHooks hooks;
        hooks.askOpenPath = [this](QWidget*) { return openPath; };
        hooks.askSavePath = [this](QWidget*, const QString& suggestedName) {
            offeredSaveName = suggestedName;
            return savePath;
        };
        hooks.askRecording = [this](QWidget*) { return recordingChoice; };
        hooks.askExportPath = [this](QWidget*, QString&) { return exportPath; };
        hooks.askRingtone = [this](QWidget*, const RingtoneChoice& last) {
            offeredRingtone = last;
            return ringtoneChoice;
        };
        hooks.shiftHeld = [this] { return shiftHeld; };
        hooks.runMenu = [this](QMenu& menu, QPoint) { return menuChoice(menu); };
        hooks.showAbout = [this](QWidget*) { ++aboutShown; };
        hooks.askDiscardEdits = [this](QWidget*) {
            ++discardQuestions;
            return discardAnswer;
        };
        hooks.askCompileBeforeSave = [this](QWidget*) {
            ++compileQuestions;
            return compileAnswer;
        };
        return std::make_unique<MainWindow>(*engine, hooks);
    }

    // A new document with the events added by the test.
    Smaf& NewDocument() {
        window->RunCommand(CommandId::New);
        return *window->document();
    }
    // Added behind the session's back, so the roll is told that the song may have grown.
    Event* Add(std::uint32_t time, std::uint8_t status, ByteVector data) {
        Event* event = InsertEvent(*window->document(),
                                   std::make_unique<Event>(time, status, std::move(data)));
        window->pianoRoll().UpdateScrollRanges();
        return event;
    }
    Event* AddNote(std::uint32_t time, std::uint8_t channel, std::uint8_t key,
                   std::uint32_t gateMs) {
        ByteVector data = {key, 100};
        WriteNumber(data, gateMs);
        return Add(time, static_cast<std::uint8_t>(0x90 | channel), std::move(data));
    }

    void OpenDemoSong() {
        window->OpenFile(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res" / "demo.mmf");
        ASSERT_NE(window->document(), nullptr);
    }

    std::string Title() const { return window->windowTitle().toStdString(); }

    // Runs timer 1 (MidiPlay's processing) and then timer 0 at the given ms after now.
    void TickAfter(std::uint32_t elapsedMs) {
        nowMs += elapsedMs;
        window->TimerTick(1);
        window->TimerTick(0);
    }

    std::unique_ptr<MainWindow> window;
    QString openPath;
    QString savePath;
    QString offeredSaveName;
    std::optional<RecordingChoice> recordingChoice;
    QString exportPath;
    std::optional<RingtoneChoice> ringtoneChoice;
    RingtoneChoice offeredRingtone;
    bool shiftHeld = false;
    std::function<QAction*(QMenu&)> menuChoice = [](QMenu&) { return nullptr; };
    int aboutShown = 0;
    int discardQuestions = 0;
    bool discardAnswer = true;
    int compileQuestions = 0;
    CompileBeforeSave compileAnswer = CompileBeforeSave::Cancel;
};

}  // namespace rolvik
