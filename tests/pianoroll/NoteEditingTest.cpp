#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <vector>

#include "TestDocument.h"
#include "edit/DocumentSession.h"
#include "edit/NoteEditing.h"
#include "tests/support/QtTestApplication.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

using test::AddEndOfSequence;
using test::AddNote;
using test::IsEndOfSequence;
using test::LastEvent;

// The roll's request signals, told apart in the record of what it sent.
enum class RequestKind { Seek, SoundNote, StopNote, DoubleClick, MiddleClick };

struct SentRequest {
    RequestKind kind;
    int note;
    quint32 timeMs;
    friend bool operator==(const SentRequest&, const SentRequest&) = default;
};

void PrintTo(const SentRequest& request, std::ostream* out) {
    *out << "{" << static_cast<int>(request.kind) << ", " << request.note << ", " << request.timeMs
         << "}";
}

constexpr auto kSeek = RequestKind::Seek;
constexpr auto kSound = RequestKind::SoundNote;
constexpr auto kStop = RequestKind::StopNote;
constexpr auto kDoubleClick = RequestKind::DoubleClick;
constexpr auto kMiddle = RequestKind::MiddleClick;

// Rows of 12 pixels scrolled so that key 64 covers y 68..79, key 62 y 92..103 and key 60 y
// 116..127; at 25 ms a pixel the note on key 62 (1000 ms, 500 ms long) covers x 40..59.
constexpr int kKey64Y = 73;
constexpr int kKey62Y = 97;

class NoteEditingTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void SetUp() override {
        SetDefaultSettings();
        document = CreateSmaf(300, 40);
        note = AddNote(*document, 1000, 0x91, 62, 500, 90);
        AddEndOfSequence(*document, 1500);
        roll = std::make_unique<PianoRoll>(session);
        roll->resize(640, 480);
        roll->SetRowHeight(12);
        roll->verticalScrollBar()->setValue(700);
        Show(document.get());
        RecordRequests();
    }

    void RecordRequests() {
        PianoRoll* sender = roll.get();
        const auto record = [this](RequestKind kind, int key, quint32 timeMs) {
            requests.push_back({kind, key, timeMs});
        };
        const auto direct = Qt::DirectConnection;
        QObject::connect(
            sender, &PianoRoll::SeekRequested, sender,
            [record](quint32 timeMs) { record(kSeek, 0, timeMs); }, direct);
        QObject::connect(
            sender, &PianoRoll::NoteSoundRequested, sender,
            [record](int key, quint32 timeMs) { record(kSound, key, timeMs); }, direct);
        QObject::connect(
            sender, &PianoRoll::NoteStopRequested, sender, [record] { record(kStop, 0, 0); },
            direct);
        QObject::connect(
            sender, &PianoRoll::DoubleClicked, sender,
            [record](int key, quint32 timeMs) { record(kDoubleClick, key, timeMs); }, direct);
        QObject::connect(
            sender, &PianoRoll::MiddleClicked, sender,
            [record](int key, quint32 timeMs) { record(kMiddle, key, timeMs); }, direct);
    }

    QWidget* surface() { return roll->viewport(); }
    void Press(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(surface(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Release(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(surface(), button, Qt::NoModifier, QPoint(x, y));
    }
    void Send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(x, y), surface()->mapToGlobal(QPointF(x, y)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(surface(), &event);
    }
    void Move(int x, int y) { Send(QEvent::MouseMove, x, y, Qt::NoButton, Qt::LeftButton); }
    // The platform's order: press, release, double-click, release.
    void DoubleClick(int x, int y) {
        Press(x, y);
        Release(x, y);
        Send(QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::LeftButton);
        Release(x, y);
    }
    int CountNotes() const {
        int count = 0;
        for (const Event* event = document->events.get(); event; event = event->next.get()) {
            count += IsNoteEvent(*event) ? 1 : 0;
        }
        return count;
    }
    void ExpectEndOfSequenceAt(std::uint32_t timeMs) {
        const Event* last = LastEvent(*document);
        ASSERT_TRUE(IsEndOfSequence(last));
        EXPECT_EQ(last->time, timeMs);
    }

    // Shows a document that the test keeps (null: none).
    void Show(Smaf* shown) {
        session.Lend(shown);
        roll->ShowDocument();
    }

    std::unique_ptr<Smaf> document;
    Event* note = nullptr;
    DocumentSession session;
    std::unique_ptr<PianoRoll> roll;
    std::vector<SentRequest> requests;
};

TEST_F(NoteEditingTest, APressUpToFourFifthsMovesTheNoteInDurationSteps) {
    Press(56, kKey62Y);
    EXPECT_EQ(roll->state().movingNote, note);
    EXPECT_EQ(roll->state().selectedNote, note);
    EXPECT_EQ(roll->state().moveOffset, -400);
    EXPECT_EQ(roll->state().dragMode, DragMode::Roll);

    Move(80, kKey64Y);
    EXPECT_EQ(note->time, 1500u) << "2000 - 400 ms, down to a multiple of 300";
    EXPECT_EQ(EventKey(*note), 64);
    ExpectEndOfSequenceAt(2000);

    Move(5, kKey62Y);
    EXPECT_EQ(note->time, 0u) << "left of 0 ms stops at 0";
    EXPECT_EQ(document->events.get(), note);

    Release(5, kKey62Y);
    EXPECT_EQ(roll->state().movingNote, nullptr);
    EXPECT_EQ(roll->state().dragMode, DragMode::None);
    EXPECT_EQ(roll->state().soundingKey, -1);
    EXPECT_EQ(roll->state().selectedNote, note);
    const std::vector<SentRequest> expected{{kSound, 62, 1400}, {kStop, 0, 0},
                                            {kSound, 64, 2000}, {kStop, 0, 0},
                                            {kSound, 62, 125},  {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
}

TEST_F(NoteEditingTest, MovingOffTheKeysKeepsTheKeyAndMovesInTime) {
    Press(44, kKey62Y);
    Move(100, 2000);
    EXPECT_EQ(EventKey(*note), 62);
    EXPECT_EQ(note->time, 2400u);
    Move(120, -20);
    EXPECT_EQ(EventKey(*note), 62);
    EXPECT_EQ(note->time, 2700u);
    Move(160, 5);
    EXPECT_EQ(note->time, 2700u) << "moves over the ruler are ignored";
}

TEST_F(NoteEditingTest, APressBeyondFourFifthsResizesInGateSteps) {
    Press(57, kKey62Y);
    EXPECT_EQ(roll->state().resizingNote, note);
    EXPECT_EQ(roll->state().movingNote, nullptr);
    Move(70, kKey62Y);
    EXPECT_EQ(EventGate(*note), 720u) << "750 ms down to a multiple of 40";
    EXPECT_EQ(note->data[1], 90) << "the velocity stays";
    ExpectEndOfSequenceAt(1720);
    Move(10, kKey62Y);
    EXPECT_EQ(EventGate(*note), 40u) << "never shorter than one gate step";
    EXPECT_EQ(note->time, 1000u);

    Event* offNote = AddNote(*document, 3000, 0x83, 62, 200);
    Release(10, kKey62Y);
    Press(127, kKey62Y);
    ASSERT_EQ(roll->state().resizingNote, offNote);
    Move(140, kKey62Y);
    EXPECT_EQ(offNote->data, (ByteVector{62, 0x83, 0x60})) << "key and 480 ms, no velocity";
}

TEST_F(NoteEditingTest, TheLastMillisecondOfAShortNoteResizesIt) {
    roll->SetWidthDivider(1);
    Event* shortNote = AddNote(*document, 100, 0x90, 64, 4);
    Press(102, kKey64Y);
    EXPECT_EQ(roll->state().movingNote, shortNote);
    Release(102, kKey64Y);
    Press(103, kKey64Y);
    EXPECT_EQ(roll->state().resizingNote, shortNote);
}

TEST_F(NoteEditingTest, OfOverlappingNotesTheEarliestIsHit) {
    Event* later = AddNote(*document, 1200, 0x92, 62, 500);
    EXPECT_EQ(FindNoteAt(*document, -1, 1300, 62), note);
    EXPECT_EQ(FindNoteAt(*document, -1, 1500, 62), later);
    EXPECT_EQ(FindNoteAt(*document, 2, 1300, 62), later);
    EXPECT_EQ(FindNoteAt(*document, -1, 1300, 63), nullptr);
}

TEST_F(NoteEditingTest, ADoubleClickInsertsANoteOnTheVisibleTrack) {
    DoubleClick(200, kKey62Y);
    ASSERT_EQ(CountNotes(), 2);
    const Event* inserted = FindNoteAt(*document, -1, 5000, 62);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->time, 5000u);
    EXPECT_EQ(inserted->status, 0x90);
    EXPECT_EQ(inserted->data, (ByteVector{62, 127, 0x83, 0x74}));
    EXPECT_NE(roll->state().selectedNote, inserted);
    ExpectEndOfSequenceAt(5500);
    const std::vector<SentRequest> expected{
        {kSound, 62, 5000}, {kStop, 0, 0}, {kDoubleClick, 62, 5000}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);

    roll->SetVisibleTrack(5);
    roll->SetEditLock(true);
    DoubleClick(300, kKey64Y);
    const Event* onTrack = FindNoteAt(*document, 5, 7500, 64);
    ASSERT_NE(onTrack, nullptr);
    EXPECT_EQ(onTrack->status, 0x95);
}

TEST_F(NoteEditingTest, ADoubleClickOnANoteInsertsNothingButIsReported) {
    DoubleClick(50, kKey62Y);
    EXPECT_EQ(CountNotes(), 1);
    EXPECT_EQ(requests[2], (SentRequest{kDoubleClick, 62, 1250}));
    requests.clear();
    DoubleClick(50, 5);
    EXPECT_EQ(CountNotes(), 1);
    EXPECT_EQ(std::count(requests.begin(), requests.end(), SentRequest{kDoubleClick, 0, 0}), 0);
}

TEST_F(NoteEditingTest, TheRightButtonDeletesAndForgetsTheNote) {
    Press(50, kKey62Y);
    Release(50, kKey62Y);
    ASSERT_EQ(roll->state().selectedNote, note);
    requests.clear();
    Press(50, kKey62Y, Qt::RightButton);
    EXPECT_EQ(CountNotes(), 0);
    EXPECT_EQ(roll->state().selectedNote, nullptr);
    ExpectEndOfSequenceAt(1500);
    EXPECT_TRUE(requests.empty());
}

// A player walking the list must hear of every event that leaves it while the event is still
// linked, whether it is freed (right button) or put back elsewhere (a move and the end marker).
TEST_F(NoteEditingTest, EveryRemovalIsAnnouncedWhileTheEventIsStillLinked) {
    std::vector<const Event*> announced;
    std::vector<bool> linkedWhenAnnounced;
    QObject::connect(
        roll.get(), &PianoRoll::EventRemoving, roll.get(),
        [&](const Event* event) {
            announced.push_back(event);
            bool linked = false;
            for (const Event* e = document->events.get(); e; e = e->next.get()) {
                linked = linked || e == event;
            }
            linkedWhenAnnounced.push_back(linked);
        },
        Qt::DirectConnection);
    const Event* end = LastEvent(*document);

    Press(44, kKey62Y);
    Move(80, kKey62Y);
    Release(80, kKey62Y);
    EXPECT_EQ(announced, (std::vector<const Event*>{note, end}));

    announced.clear();
    Press(static_cast<int>(note->time / 25) + 1, kKey62Y, Qt::RightButton);
    EXPECT_EQ(announced, (std::vector<const Event*>{note}));
    EXPECT_EQ(linkedWhenAnnounced, (std::vector<bool>{true, true, true}));
}

TEST_F(NoteEditingTest, DeletingTheNoteBeingDraggedEndsTheDrag) {
    Press(44, kKey62Y);
    Press(44, kKey62Y, Qt::RightButton);
    EXPECT_EQ(roll->state().movingNote, nullptr);
    Move(100, kKey62Y);
    EXPECT_EQ(CountNotes(), 0);
}

TEST_F(NoteEditingTest, ClearingTheSelectionBeforeARebuildEndsTheDrag) {
    Press(44, kKey62Y);
    roll->SetSelectedNote(nullptr);
    FreeEvents(*document);
    Move(100, kKey64Y);
    EXPECT_EQ(document->events, nullptr);
    EXPECT_EQ(roll->state().movingNote, nullptr);
}

TEST_F(NoteEditingTest, TheEditLockTurnsEditsIntoSelection) {
    roll->SetEditLock(true);
    Press(44, kKey62Y);
    EXPECT_EQ(roll->state().selectedNote, note);
    EXPECT_EQ(roll->state().movingNote, nullptr);
    Move(100, kKey64Y);
    EXPECT_EQ(note->time, 1000u);
    Release(100, kKey64Y);
    roll->SetSelectedNote(nullptr);
    Press(50, kKey62Y, Qt::RightButton);
    EXPECT_EQ(CountNotes(), 1);
    EXPECT_EQ(roll->state().selectedNote, note);
}

TEST_F(NoteEditingTest, NotesOfHiddenTracksCannotBeTouched) {
    roll->SetVisibleTrack(0);
    Press(44, kKey62Y);
    EXPECT_EQ(roll->state().selectedNote, nullptr);
    Move(100, kKey64Y);
    Release(100, kKey64Y);
    EXPECT_EQ(note->time, 1000u);
    Press(50, kKey62Y, Qt::RightButton);
    EXPECT_EQ(CountNotes(), 1);
}

TEST_F(NoteEditingTest, TheRulerSeeksAndDragsThePlayCursor) {
    Press(100, 5);
    EXPECT_EQ(roll->state().cursorTime, 2500u);
    EXPECT_EQ(roll->state().dragMode, DragMode::PlayCursor);
    Move(120, 300);
    EXPECT_EQ(roll->state().cursorTime, 3000u);
    Move(-30, 5);
    EXPECT_EQ(roll->state().cursorTime, 0u);
    Release(0, 5);
    const std::vector<SentRequest> expected{
        {kSeek, 0, 2500}, {kSeek, 0, 3000}, {kSeek, 0, 0}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
}

TEST_F(NoteEditingTest, WithoutADocumentTheRulerIsDeadButKeysStillSound) {
    Show(nullptr);
    Press(100, 5);
    EXPECT_EQ(roll->state().cursorTime, 0u);
    Release(100, 5);
    Press(44, kKey62Y);
    Release(44, kKey62Y);
    const std::vector<SentRequest> expected{{kStop, 0, 0}, {kSound, 62, 1100}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
}

TEST_F(NoteEditingTest, WithoutDragPreviewTheFirstKeyKeepsSounding) {
    Show(nullptr);
    CurrentSettings().dragPreview = 0;
    CurrentSettings().pianoRollHeight = 12;
    roll->LoadDefaults();
    Press(200, kKey62Y);
    Move(200, kKey64Y);
    Release(200, kKey64Y);
    const std::vector<SentRequest> expected{{kSound, 62, 5000}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
}

TEST_F(NoteEditingTest, MovesWithoutOurOwnPressAreIgnored) {
    Move(100, kKey64Y);
    Press(44, kKey62Y, Qt::RightButton);
    Move(100, kKey64Y);
    EXPECT_TRUE(requests.empty());
}

// The release of a drag can go to another window; the drag must then end, stop the key it
// sounds, and leave later moves alone until the next press, whatever buttons they carry.
TEST_F(NoteEditingTest, AMoveWithoutTheLeftButtonEndsADragWhoseReleaseWentElsewhere) {
    Press(44, kKey62Y);
    Send(QEvent::MouseMove, 100, kKey64Y, Qt::NoButton, Qt::RightButton);
    Move(120, kKey64Y);
    EXPECT_EQ(note->time, 1000u);
    EXPECT_EQ(EventKey(*note), 62);
    EXPECT_EQ(roll->state().movingNote, nullptr);
    EXPECT_EQ(roll->state().dragMode, DragMode::None);
    EXPECT_EQ(roll->state().soundingKey, -1);
    const std::vector<SentRequest> expected{{kSound, 62, 1100}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
}

TEST_F(NoteEditingTest, APressAfterALostReleaseStartsAFreshDrag) {
    Press(44, kKey62Y);
    Press(200, kKey64Y);
    EXPECT_EQ(roll->state().movingNote, nullptr) << "the note of the first press is let go";
    Move(220, kKey64Y);
    EXPECT_EQ(note->time, 1000u);
    const std::vector<SentRequest> expected{{kSound, 62, 1100}, {kStop, 0, 0}, {kSound, 64, 5000}};
    EXPECT_EQ(requests, expected);
}

// As in the program, the roll is a child of the window that the box blocks.
TEST_F(NoteEditingTest, AModalWindowOpenedDuringAPressTakesTheCapture) {
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    roll->setParent(&window);
    window.show();
    QDialog box;
    box.setModal(true);
    box.setAttribute(Qt::WA_DontShowOnScreen);
    QObject::connect(
        roll.get(), &PianoRoll::SeekRequested, &box,
        [&box] {
            box.show();
            box.hide();
        },
        Qt::DirectConnection);
    Press(100, 5);
    Move(120, 5);
    EXPECT_EQ(roll->state().cursorTime, 2500u);
    EXPECT_EQ(roll->state().dragMode, DragMode::None);
    const std::vector<SentRequest> expected{{kSeek, 0, 2500}, {kStop, 0, 0}};
    EXPECT_EQ(requests, expected);
    roll->setParent(nullptr);
}

TEST_F(NoteEditingTest, TheMiddleButtonOnlyReportsTheKey) {
    Press(50, kKey62Y, Qt::MiddleButton);
    Press(50, 5, Qt::MiddleButton);
    const std::vector<SentRequest> expected{{kMiddle, 62, 1250}};
    EXPECT_EQ(requests, expected);
    EXPECT_EQ(roll->state().selectedNote, nullptr);
}

TEST_F(NoteEditingTest, ZeroTimebasesSnapNothing) {
    document->durationBase = 0;
    document->gateBase = 0;
    Press(44, kKey62Y);
    Move(45, kKey62Y);
    EXPECT_EQ(note->time, 1025u);
    Release(45, kKey62Y);
    Press(58, kKey62Y);
    Move(30, kKey62Y);
    EXPECT_EQ(EventGate(*note), 1u);
}

// The song's note sounds 1000..1500 ms and its end lies later, at 3000 ms, as in many real songs.
struct EndOfSequenceCase {
    const char* edit;
    std::function<void(DocumentSession&, Event&)> gesture;
    std::uint32_t expectedEndMs;
};

const EndOfSequenceCase kEndOfSequenceCases[] = {
    {"insert before the end",
     [](DocumentSession& session, Event&) { session.InsertNote(200, 0, 60, {}); }, 3000},
    {"insert ending after the end",
     [](DocumentSession& session, Event&) { session.InsertNote(2800, 0, 60, {}); }, 3300},
    {"move earlier",
     [](DocumentSession& session, Event& note) { session.MoveNote(note, 0, 64, {}); }, 3000},
    {"move across the end",
     [](DocumentSession& session, Event& note) { session.MoveNote(note, 2900, {}, {}); }, 3400},
    {"move across the end and back in one drag",
     [](DocumentSession& session, Event& note) {
         session.MoveNote(note, 2900, {}, {});
         session.MoveNote(note, 100, {}, {});
     },
     3000},
    {"resize shorter",
     [](DocumentSession& session, Event& note) { session.ResizeNote(note, 1200, {}); }, 3000},
    {"resize across the end",
     [](DocumentSession& session, Event& note) { session.ResizeNote(note, 3500, {}); }, 3500},
    {"delete", [](DocumentSession& session, Event& note) { session.DeleteNote(note, {}); }, 3000},
};

TEST(EndOfSequence, NeverMovesEarlierOnAnEdit) {
    for (const EndOfSequenceCase& row : kEndOfSequenceCases) {
        SCOPED_TRACE(row.edit);
        auto document = CreateSmaf(1, 1);
        Event* note = AddNote(*document, 1000, 0x90, 62, 500);
        Event* end = AddEndOfSequence(*document, 3000);
        DocumentSession session;
        session.Lend(document.get());
        row.gesture(session, *note);
        session.FinishGesture();
        EXPECT_EQ(LastEvent(*document), end) << "the same end, behind every event";
        EXPECT_EQ(end->time, row.expectedEndMs);
        session.Undo({});
        EXPECT_EQ(end->time, 3000u) << "undo puts it back";
    }
}

TEST(EndOfSequence, AListWithoutOneGetsItBehindItsLastEvent) {
    auto document = CreateSmaf(1, 1);
    AddNote(*document, 100, 0x90, 60, 5000);
    DocumentSession session;
    session.Lend(document.get());
    session.InsertNote(200, 1, 61, {});
    const Event* last = LastEvent(*document);
    ASSERT_TRUE(IsEndOfSequence(last));
    EXPECT_EQ(last->time, 700u) << "behind the last-listed note, not the long earlier one";
}

}  // namespace
}  // namespace rolvik
