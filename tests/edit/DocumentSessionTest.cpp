#include "edit/DocumentSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/pianoroll/TestDocument.h"
#include "tests/support/EventListDump.h"

namespace rolvik {
namespace {

const EventRemovalNotice kNobodyFollows;

// A new document whose equal times, start and stop make positions matter: two notes at 1000 ms
// with a control change between them, the start on the second event and the stop on the last.
class DocumentSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.New();
        Smaf& document = *session.document();
        document.durationBase = document.gateBase = 20;
        first = test::AddNote(document, 0, 0x91, 60, 400);
        document.start = test::AddNote(document, 1000, 0x90, 62, 500);
        InsertEvent(document, std::make_unique<Event>(1000, 0xB0, ByteVector{7, 100}));
        third = test::AddNote(document, 1000, 0x92, 64, 500);
        document.stop = test::AddEndOfSequence(document, 1500);
    }
    std::string Dump() const { return testing::Dump(*session.document()); }
    void Insert(std::uint32_t timeMs) {
        session.InsertNote(timeMs, 0, 60, kNobodyFollows);
        session.FinishGesture();
    }

    DocumentSession session;
    Event* first = nullptr;
    Event* third = nullptr;
};

// Each gesture is undone back to the exact list before it and redone to the exact list after it:
// a deletion of the start event, an insertion among equal times, a move in two steps across the
// end of the list to another key, and a resize. Undo tells the listener what it takes out.
TEST_F(DocumentSessionTest, UndoAndRedoRestoreTheExactListAfterEveryKindOfEdit) {
    std::vector<const Event*> announced;
    SessionListener listener;
    listener.eventRemoving = [&](const Event& event) { announced.push_back(&event); };
    session.SetListener(listener);
    std::vector<std::string> dumps{Dump()};
    session.DeleteNote(*session.document()->start, kNobodyFollows);
    session.FinishGesture();
    dumps.push_back(Dump());
    session.InsertNote(1000, 0, 62, kNobodyFollows);
    session.FinishGesture();
    dumps.push_back(Dump());
    session.MoveNote(*first, 2000, 60, kNobodyFollows);
    session.MoveNote(*first, 4010, 64, kNobodyFollows);
    session.FinishGesture();
    dumps.push_back(Dump());
    session.ResizeNote(*third, 1900, kNobodyFollows);
    session.FinishGesture();
    dumps.push_back(Dump());
    for (std::size_t step = 1; step < dumps.size(); ++step) {
        ASSERT_NE(dumps[step], dumps[step - 1]) << "gesture " << step << " changed nothing";
    }
    announced.clear();
    for (std::size_t step = dumps.size() - 1; step > 0; --step) {
        session.Undo(kNobodyFollows);
        EXPECT_EQ(Dump(), dumps[step - 1]) << "undoing gesture " << step;
    }
    EXPECT_FALSE(announced.empty()) << "undoing the insertion takes the note out";
    EXPECT_FALSE(session.CanUndo());
    for (std::size_t step = 1; step < dumps.size(); ++step) {
        session.Redo(kNobodyFollows);
        EXPECT_EQ(Dump(), dumps[step]) << "redoing gesture " << step;
    }
    EXPECT_FALSE(session.CanRedo());
}

// A move that puts the note back leaves nothing to undo (key 64 is the last event at 1000 ms,
// where a move puts it, and with no stop on it the end of sequence is re-placed unchanged); a new
// edit drops what was undone.
TEST_F(DocumentSessionTest, AGestureThatChangesNothingLeavesNoStepAndANewEditDropsTheRedo) {
    session.document()->stop = nullptr;
    session.MoveNote(*third, 1600, 64, kNobodyFollows);
    session.MoveNote(*third, 1000, 64, kNobodyFollows);
    session.FinishGesture();
    EXPECT_FALSE(session.CanUndo());
    Insert(2000);
    session.Undo(kNobodyFollows);
    ASSERT_TRUE(session.CanRedo());
    Insert(2000);
    EXPECT_FALSE(session.CanRedo());
}

// Edits are uncompiled until a compile and unsaved until a save of a compile that holds them; a
// save writes the last compile, not the list. Open, New and Close begin afresh.
TEST_F(DocumentSessionTest, CompileAndSaveStatesFollowTheEdits) {
    Insert(2000);
    session.Undo(kNobodyFollows);
    EXPECT_FALSE(session.HasUncompiledEdits()) << "the edit was taken back";
    session.Redo(kNobodyFollows);
    EXPECT_TRUE(session.HasUncompiledEdits()) << "the edit was made again";
    ASSERT_TRUE(session.Compile());
    EXPECT_EQ(session.document()->events->status, 0x91) << "reloaded from the compiled bytes";
    EXPECT_FALSE(session.CanUndo());
    EXPECT_TRUE(session.HasUnsavedEdits()) << "compiled into memory only";
    const auto saved = std::filesystem::path(::testing::TempDir()) / "rolvik-session-saved.mmf";
    std::string error;
    ASSERT_TRUE(session.Save(saved, error)) << error;
    EXPECT_FALSE(session.HasUnsavedEdits()) << "compiled and saved";
    Insert(3000);
    ASSERT_TRUE(session.Save(saved, error)) << error;
    EXPECT_TRUE(session.HasUnsavedEdits()) << "the save wrote the last compile only";

    session.Open(saved);
    EXPECT_FALSE(session.HasUnsavedEdits()) << "opened";
    Insert(3000);
    session.New();
    EXPECT_FALSE(session.HasUnsavedEdits()) << "an empty new document holds nothing to lose";
    Insert(3000);
    session.Close();
    EXPECT_FALSE(session.HasUnsavedEdits() || session.CanUndo()) << "closed";
    std::filesystem::remove(saved);
}

}  // namespace
}  // namespace rolvik
