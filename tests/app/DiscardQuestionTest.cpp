#include <gmock/gmock.h>

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <fstream>

#include "ShellTest.h"
#include "core/CheckCode.h"
#include "core/FileIO.h"
#include "tests/import/StandardMidiFileImage.h"
#include "ui/detail/DetailView.h"

namespace rolvik {
namespace {

// Key 127 is the top row (y 12..14 at 3 pixels a row), where no song of ours has a note.
constexpr int kTopRowY = 13;

QString DemoSong() {
    return QString(ROLVIK_SOURCE_DIR) + "/res/demo.mmf";
}

class DiscardQuestionTest : public ShellTest {
  protected:
    // A note inserted with the mouse, as the user edits, each time in a new place.
    void EditWithTheMouse() {
        QWidget* view = window->pianoRoll().viewport();
        const QPoint spot(100 + 40 * edits++, kTopRowY);
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, spot);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, spot);
        QMouseEvent click(QEvent::MouseButtonDblClick, spot, view->mapToGlobal(spot),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &click);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, spot);
        ASSERT_TRUE(window->session().CanUndo());
    }

    // How many questions Close asks, the answer being Yes.
    int QuestionsOnClose() {
        const int before = discardQuestions;
        window->RunCommand(CommandId::Close);
        return discardQuestions - before;
    }

    void DropFile(const QString& path) {
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
    }

    QString WriteMidiFile(const QString& name) {
        // One note of 480 ticks, 500 ms at the default tempo.
        const ByteVector file = testing::MidiFile(
            0, 480,
            {testing::MidiTrack(
                {{0x00, 0x90, 60, 100}, {0x83, 0x60, 0x80, 60, 0}, testing::kEndOfTrack})});
        const QString path = folder.filePath(name);
        std::ofstream(path.toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()),
                   static_cast<std::streamsize>(file.size()));
        return path;
    }

    QTemporaryDir folder;
    int edits = 0;
};

TEST_F(DiscardQuestionTest, IsAskedOnlyWhileTheListHoldsEditsNoSavedFileHolds) {
    OpenDemoSong();
    EXPECT_EQ(QuestionsOnClose(), 0) << "nothing edited";

    NewDocument();
    AddNote(1000, 0, 60, 500);  // key 60 at y 213..215, x 40..59
    QWidget* view = window->pianoRoll().viewport();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(44, 214));
    QMouseEvent move(QEvent::MouseMove, QPointF(90, 214), view->mapToGlobal(QPointF(90, 214)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    EXPECT_EQ(QuestionsOnClose(), 1) << "a drag still under way";
}

// No leaves the document, its edits and the window as they were; each command asks once.
TEST_F(DiscardQuestionTest, EveryCommandThatReplacesTheDocumentAsksAndNoCancelsIt) {
    const QString midiFile = WriteMidiFile("song.mid");
    OpenDemoSong();
    EditWithTheMouse();
    Smaf* edited = window->document();
    const ByteVector image = edited->fileData;
    window->show();
    discardAnswer = false;

    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"Close", [&] { window->RunCommand(CommandId::Close); }},
        {"New", [&] { window->RunCommand(CommandId::New); }},
        {"Load SMAF",
         [&] {
             openPath = DemoSong();
             window->RunCommand(CommandId::LoadSmaf);
         }},
        {"Load of a MIDI file",
         [&] {
             openPath = midiFile;
             window->RunCommand(CommandId::LoadSmaf);
         }},
        {"drop", [&] { DropFile(DemoSong()); }},
        {"dropped MIDI file", [&] { DropFile(midiFile); }},
        {"Exit", [&] { window->RunCommand(CommandId::Exit); }},
        {"close box", [&] { window->close(); }},
    };
    for (const auto& [name, run] : commands) {
        const int before = discardQuestions;
        run();
        EXPECT_EQ(discardQuestions, before + 1) << name;
        EXPECT_EQ(window->document(), edited) << name;
        EXPECT_EQ(window->pianoRoll().state().document, edited) << name;
        EXPECT_TRUE(window->session().CanUndo()) << name;
        EXPECT_TRUE(window->isVisible()) << name;
    }
    EXPECT_EQ(edited->fileData, image);
    EXPECT_TRUE(recorder.messages.empty());

    openPath.clear();
    window->RunCommand(CommandId::LoadSmaf);
    EXPECT_EQ(discardQuestions, static_cast<int>(commands.size())) << "a cancelled dialog";

    discardAnswer = true;
    window->RunCommand(CommandId::Exit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->document(), nullptr);
}

// Files open by what they hold: "MThd" through the import, anything else as SMAF.
TEST_F(DiscardQuestionTest, AMidiFileOpensThroughTheImportAndABadOneKeepsTheDocument) {
    OpenDemoSong();
    EditWithTheMouse();
    Smaf* edited = window->document();
    openPath = folder.filePath("broken.mmf");
    std::ofstream(openPath.toStdString()) << "MThd, and nothing a MIDI file needs";
    window->RunCommand(CommandId::LoadSmaf);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "The MIDI file's header is cut short");
    EXPECT_EQ(recorder.messages[0].caption, "Error");
    EXPECT_EQ(window->document(), edited);
    EXPECT_EQ(window->pianoRoll().state().document, edited);
    EXPECT_TRUE(window->session().CanUndo());

    openPath = WriteMidiFile("song.mmf");
    window->RunCommand(CommandId::LoadSmaf);
    ASSERT_NE(window->document(), nullptr);
    ASSERT_NE(window->document(), edited);
    EXPECT_EQ(window->pianoRoll().state().document, window->document());
    EXPECT_EQ(window->detailView().document(), window->document());
    EXPECT_TRUE(HasValidCheckCode(window->document()->fileData)) << "compiled at once";
    EXPECT_FALSE(window->session().CanUndo());
    EXPECT_EQ(Title(), "Rolvik 00000ms");
    const Event* note = window->document()->events.get();
    while (note && !IsNoteEvent(*note)) {
        note = note->next.get();
    }
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(EventKey(*note), 60);
    EXPECT_EQ(EventGate(*note), 500u);
    EXPECT_EQ(QuestionsOnClose(), 1) << "no saved file holds the imported song";

    const QString smafNamedMidi = folder.filePath("demo.mid");
    QFile::copy(DemoSong(), smafNamedMidi);
    DropFile(smafNamedMidi);
    ASSERT_NE(window->document(), nullptr);
    EXPECT_EQ(window->document()->fileData, ReadWholeFile(DemoSong().toStdString()));
}

// Save asks after its file dialog, and only while the list holds edits no compile took in.
TEST_F(DiscardQuestionTest, SaveAsksWhetherToCompileEditsFirst) {
    const std::optional<ByteVector> demo = ReadWholeFile(DemoSong().toStdString());
    struct Case {
        CompileBeforeSave answer;
        bool written;
        bool holdsTheEdit;
    };
    const std::vector<Case> cases{{CompileBeforeSave::Compile, true, true},
                                  {CompileBeforeSave::SaveAsItIs, true, false},
                                  {CompileBeforeSave::Cancel, false, false}};
    for (int asked = 0; asked < static_cast<int>(cases.size()); ++asked) {
        const Case& row = cases[static_cast<std::size_t>(asked)];
        compileAnswer = row.answer;
        OpenDemoSong();
        EditWithTheMouse();
        savePath.clear();
        window->RunCommand(CommandId::Save);
        EXPECT_EQ(compileQuestions, asked) << "a cancelled file dialog asks nothing";

        savePath = folder.filePath(QStringLiteral("song%1").arg(asked));
        window->RunCommand(CommandId::Save);
        EXPECT_EQ(compileQuestions, asked + 1);
        const std::optional<ByteVector> saved = ReadWholeFile((savePath + ".mmf").toStdString());
        ASSERT_EQ(saved.has_value(), row.written) << asked;
        if (saved) {
            EXPECT_EQ(*saved, window->document()->fileData) << asked;
            EXPECT_EQ(*saved != *demo, row.holdsTheEdit) << asked;
        }
        EXPECT_EQ(window->session().CanUndo(), !row.holdsTheEdit) << asked;
        EXPECT_TRUE(recorder.messages.empty()) << "no success box on the way";
    }
}

}  // namespace
}  // namespace rolvik
