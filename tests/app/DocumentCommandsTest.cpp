#include <gmock/gmock.h>

#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "ShellTest.h"
#include "core/FileIO.h"
#include "core/SmafExclusive.h"
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
    EXPECT_EQ(Title(), "Rolvik");
    OpenDemoSong();
    Smaf* opened = window->document();
    EXPECT_EQ(window->pianoRoll().state().document, opened);
    EXPECT_EQ(window->detailView().document(), opened);
    EXPECT_EQ(Title(), "Rolvik 00000ms");

    window->RunCommand(CommandId::New);
    ASSERT_NE(window->document(), nullptr);
    EXPECT_TRUE(window->document()->fileData.empty());
    EXPECT_EQ(window->pianoRoll().state().document, window->document());

    window->RunCommand(CommandId::Close);
    EXPECT_EQ(window->document(), nullptr);
    EXPECT_EQ(window->pianoRoll().state().document, nullptr);
    EXPECT_EQ(window->detailView().document(), nullptr);
    EXPECT_EQ(Title(), "Rolvik");
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DocumentCommandsTest, ABadFileClosesTheOldDocumentAndLeavesNone) {
    OpenDemoSong();
    QTemporaryDir folder;
    const std::filesystem::path bad = folder.filePath("bad.mmf").toStdString();
    std::ofstream(bad) << "not a song";
    openPath = QString::fromStdString(bad.string());
    window->RunCommand(CommandId::LoadSmaf);
    EXPECT_EQ(window->document(), nullptr);
    EXPECT_EQ(window->pianoRoll().state().document, nullptr);
    EXPECT_EQ(Title(), "Rolvik");
    ASSERT_EQ(recorder.messages.size(), 1u) << "the loader's own message and nothing else";

    openPath.clear();
    window->RunCommand(CommandId::LoadSmaf);
    EXPECT_EQ(recorder.messages.size(), 1u) << "a cancelled dialog does nothing";
}

TEST_F(DocumentCommandsTest, CompileReloadsTheListFromTheCompiledBytes) {
    window->RunCommand(CommandId::Compile);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"SMAF not opened", "CompileSMAF Error", MessageIcon::Error}));

    NewDocument();
    Event* note = AddNote(1000, 2, 60, 500);
    window->pianoRoll().Command(PianoRollCommand::SetSelectedNote, reinterpret_cast<qint64>(note));
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
    EXPECT_EQ(midiActive, 0);
    EXPECT_EQ(MidiPlayer().nextEvent, nullptr);
    EXPECT_FALSE(window->midiTimer().isActive());
    EXPECT_EQ(recorder.Texts().back(),
              "SMAF successfully compiled.\nTest with Emuplay or save SMAF.");

    fake.calls.clear();
    TickAfter(5000);
    EXPECT_TRUE(fake.MidiMessages().empty());
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
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(ReadAll(target), ReadAll(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res/demo.mmf"));

    savePath = folder.filePath("missing-folder/saved.mmf");
    window->RunCommand(CommandId::Save);
    EXPECT_EQ(recorder.messages.back(),
              (ShownMessage{"Can't open file to write\ncannot write " + savePath.toStdString() +
                                ": " + std::strerror(ENOENT),
                            "Error", MessageIcon::Error}));
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
    EXPECT_EQ(midiActive, 0);
    EXPECT_FALSE(window->refreshTimer().isActive());
}

}  // namespace
}  // namespace rolvik
