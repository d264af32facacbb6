#include <gmock/gmock.h>

#include "ShellTest.h"
#include "app/InstrumentMenu.h"
#include "playback/VoiceSet.h"

namespace rolvik {
namespace {

using ::testing::ElementsAre;
using testing::ShownMessage;

const ByteVector kVolume127 = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 127, 0xF7};

ByteVector Bytes3(int a, int b, int c) {
    return {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
            static_cast<std::uint8_t>(c)};
}
ByteVector Bytes2(int a, int b) {
    return {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)};
}

class NotePreviewTest : public ShellTest {
  protected:
    void SoundNote(int note) { emit window->pianoRoll().NoteSoundRequested(note, 0); }
    void StopNote() { emit window->pianoRoll().NoteStopRequested(); }
    void ShowTrack(int track) { window->pianoRoll().SetVisibleTrack(track); }
    Event* AddExclusive(std::uint32_t time, const ByteVector& body) {
        ByteVector data;
        WriteNumber(data, static_cast<std::uint32_t>(body.size()));
        data.insert(data.end(), body.begin(), body.end());
        return Add(time, 0xF0, std::move(data));
    }
};

TEST_F(NotePreviewTest, WithAllVisibleTheMelodyBankAndCurrentInstrumentPlayOnChannelZero) {
    NewDocument();
    AddNote(0, 3, 60, 100);
    SoundNote(72);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(kVolume127, Bytes3(0xB0, 0x00, 0x7C), Bytes3(0xB0, 0x20, 0x00),
                            Bytes2(0xC0, 0), Bytes3(0x90, 72, 0x7F)));
    fake.calls.clear();
    StopNote();
    EXPECT_THAT(fake.MidiMessages(), ElementsAre(Bytes3(0x90, 72, 0x00)));
}

TEST_F(NotePreviewTest, ATracksBankAndProgramAreFoundWhateverTheirOrder) {
    NewDocument();
    AddNote(0, 5, 60, 100);
    Add(10, 0xC5, {42});
    Add(20, 0xB5, {0x00, 0x7C});
    Add(30, 0xB2, {0x20, 0x09});  // another channel's bank LSB is not this track's
    Add(40, 0xB5, {0x20, 0x03});
    const ByteVector definition = {0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x03, 42, 0x11, 0xF7};
    AddExclusive(50, definition);
    ShowTrack(5);
    SoundNote(60);
    ByteVector sentDefinition = {0xF0};
    sentDefinition.insert(sentDefinition.end(), definition.begin(), definition.end());
    const std::vector<ByteVector> messages = fake.MidiMessages();
    ASSERT_GE(messages.size(), 4u);
    EXPECT_THAT(std::vector<ByteVector>(messages.end() - 4, messages.end()),
                ElementsAre(Bytes3(0xB5, 0x00, 0x7C), Bytes3(0xB5, 0x20, 0x03), Bytes2(0xC5, 42),
                            Bytes3(0x95, 60, 0x7F)));
    EXPECT_EQ(messages.size(), 5u) << "the 10-byte definition is skipped as playback skips it";
}

TEST_F(NotePreviewTest, ShiftPicksTheDrumBankForATrackWithoutBankSelect) {
    NewDocument();
    AddNote(0, 9, 36, 100);
    ShowTrack(9);
    shiftHeld = true;
    SoundNote(36);
    EXPECT_EQ(fake.MidiMessages()[1], Bytes3(0xB9, 0x00, 0x7D));
}

TEST_F(NotePreviewTest, RequestsAreIgnoredDuringEmuPlayButSoundDuringMidiPlay) {
    OpenDemoSong();
    window->RunCommand(CommandId::EmuPlay);
    fake.calls.clear();
    SoundNote(60);
    StopNote();
    EXPECT_TRUE(fake.calls.empty());
    window->RunCommand(CommandId::Stop);
    window->RunCommand(CommandId::MidiPlay);
    fake.calls.clear();
    SoundNote(60);
    EXPECT_EQ(fake.MidiMessages().back(), Bytes3(0x90, 60, 0x7F));
}

TEST_F(NotePreviewTest, ARefusedMessageEndsTheSequenceWithItsOwnText) {
    NewDocument();
    int sent = 0;
    int refused = 3;  // the master volume comes first
    fake.answer = [&](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        if (call.name != "SetMidiMsg") {
            return std::nullopt;
        }
        return ++sent == refused ? 1 : 0;
    };
    SoundNote(60);
    EXPECT_EQ(recorder.messages,
              (std::vector<ShownMessage>{{"SetMidiMsg6 failed", "Error", MessageIcon::Error}}));
    EXPECT_EQ(sent, 3);

    sent = 0;
    refused = 5;  // the note-on is refused: the last previewed note stays
    SoundNote(61);
    EXPECT_EQ(recorder.Texts().back(), "SetMidiMsg8[sounding note] failed");
    fake.answer = nullptr;
    fake.calls.clear();
    StopNote();
    EXPECT_THAT(fake.MidiMessages(), ElementsAre(Bytes3(0x90, 0, 0x00)));
}

TEST_F(NotePreviewTest, TheInstrumentMenuListsAllProgramsAndChecksTheCurrentOne) {
    ASSERT_GT(engine->voices().voiceCount(), 0u);
    std::unique_ptr<QMenu> menu = BuildInstrumentMenu(engine->voices(), 21);
    const QList<QAction*> submenus = menu->actions();
    ASSERT_EQ(submenus.size(), 8);
    EXPECT_EQ(submenus[1]->text(), "Inst# 16 - 31");
    EXPECT_TRUE(submenus[1]->isChecked());
    EXPECT_FALSE(submenus[0]->isChecked());
    const QList<QAction*> items = submenus[1]->menu()->actions();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items[5]->text().toStdString(),
              "21: " + std::string(engine->voices().voiceTable()[21].name.data()));
    EXPECT_TRUE(items[5]->isChecked());
    EXPECT_EQ(items[5]->data().toInt(), 121);

    engine->voices().FreeVoiceTable();
    menu = BuildInstrumentMenu(engine->voices(), 0);
    EXPECT_EQ(menu->actions()[7]->menu()->actions()[15]->text(), "127: Gunshot");

    menuChoice = [](QMenu& shown) { return shown.actions()[2]->menu()->actions()[3]; };
    window->ShowInstrumentMenu(QPoint());
    EXPECT_EQ(window->currentInstrument(), 35);

    // The piano roll's middle clicks open it too.
    menuChoice = [](QMenu& shown) { return shown.actions()[0]->menu()->actions()[7]; };
    QTest::mousePress(window->pianoRoll().viewport(), Qt::MiddleButton, {}, QPoint(100, 100));
    EXPECT_EQ(window->currentInstrument(), 7);
}

}  // namespace
}  // namespace rolvik
