#include <gmock/gmock.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#include "ShellTest.h"
#include "app/MessageBoxes.h"
#include "app/NoticeBar.h"
#include "core/AudioTrack.h"
#include "core/FileIO.h"
#include "core/SmafExclusive.h"
#include "synth/EmulatorInterface.h"
#include "synth/Song.h"
#include "tests/support/Corpus.h"
#include "ui/detail/DetailView.h"

namespace rolvik {
namespace {

using testing::ShownMessage;

ByteVector ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(file), {});
}

class DocumentCommandsTest : public ShellTest {};

TEST_F(DocumentCommandsTest, OpenNewAndCloseHandTheDocumentToBothViews) {
    const auto songCommandsEnabled = [this] {
        return window->action(CommandId::Save)->isEnabled() &&
               window->action(CommandId::EmuPlay)->isEnabled() &&
               window->action(CommandId::Rewind)->isEnabled();
    };
    EXPECT_EQ(Title(), "Rolvik");
    EXPECT_FALSE(songCommandsEnabled());
    EXPECT_FALSE(window->action(CommandId::Close)->isEnabled());
    EXPECT_TRUE(window->action(CommandId::LoadSmaf)->isEnabled());
    OpenDemoSong();
    EXPECT_TRUE(songCommandsEnabled());
    Smaf* opened = window->document();
    EXPECT_EQ(window->pianoRoll().state().document, opened);
    EXPECT_EQ(window->detailView().document(), opened);
    EXPECT_EQ(Title(), "Rolvik 00000ms");
    // The roll measures the song while the session replaces one document with the next.
    OpenDemoSong();
    EXPECT_EQ(window->pianoRoll().state().document, window->document());

    window->RunCommand(CommandId::New);
    ASSERT_NE(window->document(), nullptr);
    EXPECT_TRUE(window->document()->fileData.empty());
    EXPECT_EQ(window->pianoRoll().state().document, window->document());

    window->RunCommand(CommandId::Close);
    EXPECT_EQ(window->document(), nullptr);
    EXPECT_EQ(window->pianoRoll().state().document, nullptr);
    EXPECT_EQ(window->detailView().document(), nullptr);
    EXPECT_EQ(Title(), "Rolvik");
    EXPECT_FALSE(songCommandsEnabled());
    EXPECT_TRUE(recorder.messages.empty());
}

// Whatever is wrong with the file, the song that was open stays open, untouched, and one message
// says why.
TEST_F(DocumentCommandsTest, AFileThatDoesNotOpenKeepsTheOpenSong) {
    OpenDemoSong();
    Smaf* song = window->document();
    const std::string title = Title();
    QTemporaryDir folder;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.mmf", ""},
        {"text.mmf", "not a song"},
        {"random.mmf", std::string("\x9c\x01\xff\x00\x37\xe2MMMD\x00", 11)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::filesystem::path bad = folder.filePath(name).toStdString();
        std::ofstream(bad, std::ios::binary) << bytes;
        recorder.messages.clear();
        openPath = QString::fromStdString(bad.string());
        window->RunCommand(CommandId::LoadSmaf);
        EXPECT_EQ(window->document(), song);
        EXPECT_EQ(window->pianoRoll().state().document, song);
        EXPECT_EQ(window->detailView().document(), song);
        EXPECT_EQ(Title(), title);
        ASSERT_EQ(recorder.messages.size(), 1u) << "the loader's own message and nothing else";
        EXPECT_EQ(recorder.messages[0].caption, "Error");
    }
    EXPECT_EQ(discardQuestions, 0) << "nothing to discard in an unedited song";

    openPath.clear();
    recorder.messages.clear();
    window->RunCommand(CommandId::LoadSmaf);
    EXPECT_TRUE(recorder.messages.empty()) << "a cancelled dialog does nothing";
    EXPECT_EQ(window->document(), song);
}

// Notices never block: they gather in the bar over the roll and go when the next song opens or
// the bar is closed. The shell's real message handler is used here.
TEST_F(DocumentCommandsTest, NoticesShowInTheBarUntilTheNextOpen) {
    ROLVIK_REQUIRE_CORPUS();
    const ScopedMessageHandler shown(MessageBoxHandler());
    int modalBoxes = 0;
    QTimer closer;
    closer.callOnTimeout([&modalBoxes] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++modalBoxes;
            modal->close();
        }
    });
    closer.start(20);

    window->OpenFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / "vavi__ClubGroove.mmf");
    ASSERT_NE(window->document(), nullptr);
    EXPECT_EQ(modalBoxes, 0);
    EXPECT_TRUE(window->noticeBar().isVisibleTo(window.get()));
    EXPECT_TRUE(window->noticeBar().text().startsWith(
        "Notice: This is written in HPS format, Rolvik can't convert accurately. Sorry."));

    OpenDemoSong();
    EXPECT_FALSE(window->noticeBar().isVisibleTo(window.get()));
    EXPECT_TRUE(window->noticeBar().text().isEmpty());

    window->OpenFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / "vavi__ClubGroove.mmf");
    QTest::mouseClick(window->noticeBar().findChild<QToolButton*>("CloseNotice"), Qt::LeftButton);
    EXPECT_FALSE(window->noticeBar().isVisibleTo(window.get()));
    EXPECT_EQ(modalBoxes, 0);
}

TEST_F(DocumentCommandsTest, CompileReloadsTheListFromTheCompiledBytes) {
    window->RunCommand(CommandId::Compile);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"SMAF not opened", "CompileSMAF Error", MessageIcon::Error}));

    NewDocument();
    Event* note = AddNote(1000, 2, 60, 500);
    window->pianoRoll().SetSelectedNote(note);
    window->RunCommand(CommandId::Compile);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"SMAF successfully compiled.\nTest with Emuplay or save SMAF.",
                            "CompileSMAF", MessageIcon::Information}));
    EXPECT_FALSE(window->document()->fileData.empty());
    EXPECT_EQ(window->pianoRoll().state().selectedNote, nullptr);
}

// The reload frees the events MidiPlay walks: compiling stops the player first.
TEST_F(DocumentCommandsTest, CompileDuringMidiPlayStopsThePlayerBeforeTheReload) {
    NewDocument();
    AddNote(0, 0, 60, 2000);
    AddNote(3000, 0, 62, 500);
    window->RunCommand(CommandId::MidiPlay);
    TickAfter(100);
    ASSERT_EQ(window->playState(), PlayState::MidiPlay);

    window->RunCommand(CommandId::Compile);
    EXPECT_EQ(window->playState(), PlayState::Idle);
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_FALSE(window->playTimers().midi().isActive());
    EXPECT_EQ(recorder.Texts().back(),
              "SMAF successfully compiled.\nTest with Emuplay or save SMAF.");

    fake.calls.clear();
    TickAfter(5000);
    EXPECT_TRUE(fake.MidiMessages().empty());
}

// A mono 16-bit WAV at 8000 Hz of a tone, `seconds` long.
void WriteToneWave(const std::filesystem::path& path, int seconds) {
    const auto frames = static_cast<std::uint32_t>(8000 * seconds);
    ByteVector wave;
    const auto put = [&wave](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wave.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    wave.insert(wave.end(), {'R', 'I', 'F', 'F'});
    put(36 + frames * 2, 4);
    wave.insert(wave.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4), put(1, 2), put(1, 2), put(8000, 4), put(16000, 4), put(2, 2), put(16, 2);
    wave.insert(wave.end(), {'d', 'a', 't', 'a'});
    put(frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i * 0.3))), 2);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(wave.data()),
               static_cast<std::streamsize>(wave.size()));
}

// The ringtone is shown as a new document that Save writes; a recording that cannot be read
// leaves the open document as it was.
TEST_F(DocumentCommandsTest, NewFromRecordingShowsTheRingtoneAndSaveWritesIt) {
    OpenDemoSong();
    Smaf* demo = window->document();
    QTemporaryDir folder;
    const std::filesystem::path text = folder.filePath("text.wav").toStdString();
    std::ofstream(text) << "not a sound";
    recordingChoice = RecordingChoice{QString::fromStdString(text.string()), 8000};
    window->RunCommand(CommandId::NewFromRecording);
    EXPECT_EQ(window->document(), demo);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Error");

    const std::filesystem::path tone = folder.filePath("tone.wav").toStdString();
    WriteToneWave(tone, 2);
    recordingChoice = RecordingChoice{QString::fromStdString(tone.string()), 11025};
    recorder.messages.clear();
    window->RunCommand(CommandId::NewFromRecording);
    ASSERT_NE(window->document(), demo);
    ASSERT_NE(window->document(), nullptr);
    EXPECT_TRUE(recorder.messages.empty());
    const auto tracks = ReadAudioTracks(window->document()->fileData);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].rateHz, 11025u);
    EXPECT_NEAR(tracks[0].endMs, 2000.0, 10.0);

    savePath = folder.filePath("ringtone.mmf");
    window->RunCommand(CommandId::Save);
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(ReadAll(savePath.toStdString()), window->document()->fileData);
}

TEST_F(DocumentCommandsTest, SaveWritesTheDocumentsBytesAndRefusesWithoutThem) {
    window->RunCommand(CommandId::Save);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"SMAF not opened", "Error", MessageIcon::Error}));
    NewDocument();
    window->RunCommand(CommandId::Save);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"SMAF not compiled", "Error", MessageIcon::Error}));

    OpenDemoSong();
    QTemporaryDir folder;
    const std::filesystem::path target = folder.filePath("saved.mmf").toStdString();
    std::ofstream(target) << "an older, longer file that must be replaced whole";
    savePath = QString::fromStdString(target.string());
    recorder.messages.clear();
    window->RunCommand(CommandId::Save);
    EXPECT_EQ(offeredSaveName, "demo.mmf") << "the dialog starts with the song's own name";
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(ReadAll(target), ReadAll(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res/demo.mmf"));

    savePath = folder.filePath("missing-folder/saved.mmf");
    window->RunCommand(CommandId::Save);
    EXPECT_EQ(offeredSaveName, "saved.mmf") << "the name it was last saved under";
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"Can't open file to write\ncannot write " + savePath.toStdString() +
                                ": " + std::strerror(ENOENT),
                            "Error", MessageIcon::Error}));
}

// The frames of a WAV file: its data chunk's size over the bytes of a frame.
std::size_t WaveFrames(const ByteVector& file) {
    std::size_t frameBytes = 0;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::size_t size = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16 |
                                 static_cast<std::size_t>(file[at + 7]) << 24;
        if (std::equal(file.begin() + at, file.begin() + at + 4, "fmt ")) {
            frameBytes = file[at + 20] | file[at + 21] << 8;
        } else if (std::equal(file.begin() + at, file.begin() + at + 4, "data")) {
            return frameBytes > 0 ? size / frameBytes : 0;
        }
        at += 8 + size + size % 2;
    }
    return 0;
}

// An audio export plays the introduction, the loops chosen and the fade, and the choice is offered
// again at the next export; cancelling the choice writes nothing.
TEST_F(DocumentCommandsTest, AudioExportPlaysTheChosenLoops) {
    OpenDemoSong();
    QTemporaryDir folder;
    exportPath = folder.filePath("demo.wav");
    window->RunCommand(CommandId::Export);
    EXPECT_FALSE(QFile::exists(exportPath)) << "no choice, no file";

    ringtoneChoice = RingtoneChoice{.loops = 2, .lengthSeconds = {}, .fadeSeconds = 0.25};
    window->RunCommand(CommandId::Export);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(exportPath); }, 60000));
    EXPECT_TRUE(recorder.messages.empty());
    const auto song = synth::LoadSong(window->document()->fileData);
    ASSERT_NE(song, nullptr);
    const std::size_t introMs = song->startOffsetMs - song->events.front().timeMs;
    const std::size_t frames =
        (introMs + 2 * synth::SongLengthMs(*song) + 250) * (kOutputSampleRateHz / 1000);
    EXPECT_EQ(WaveFrames(ReadAll(exportPath.toStdString())), frames);

    ringtoneChoice.reset();
    window->RunCommand(CommandId::Export);
    EXPECT_EQ(offeredRingtone.loops, 2);
    EXPECT_EQ(offeredRingtone.fadeSeconds, 0.25);
}

TEST_F(DocumentCommandsTest, HelpAboutAndMidiResetWorkWithoutADocument) {
    window->RunCommand(CommandId::HelpIndex);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"There are no help.", "sorry", MessageIcon::Error}));
    window->RunCommand(CommandId::About);
    EXPECT_EQ(aboutShown, 1);
    window->RunCommand(CommandId::MidiReset);
    ASSERT_FALSE(fake.MidiMessages().empty());
    EXPECT_EQ(fake.MidiMessages().front(), ByteVector(kResetMessage.begin(), kResetMessage.end()));
}

TEST_F(DocumentCommandsTest, ClosingTheWindowClosesTheDocumentAndStopsPlay) {
    OpenDemoSong();
    window->RunCommand(CommandId::MidiPlay);
    window->close();
    EXPECT_EQ(window->document(), nullptr);
    EXPECT_EQ(window->playState(), PlayState::Idle);
    EXPECT_FALSE(window->playTimers().refresh().isActive());
}

}  // namespace
}  // namespace rolvik
