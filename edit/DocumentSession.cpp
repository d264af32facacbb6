#include "DocumentSession.h"

#include <algorithm>
#include <new>
#include <utility>

#include "NoteEditing.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/OpenSong.h"

namespace rolvik {

bool DocumentSession::Open(const std::filesystem::path& path) {
    OpenedSong opened = OpenSong(path);
    if (!opened.smaf) {
        return false;
    }
    Close();
    Replace(std::move(opened.smaf), opened.origin == SongOrigin::StandardMidi);
    path_ = path;
    return true;
}

void DocumentSession::New() {
    Close();
    try {
        Replace(CreateSmaf(4, 4), false);
    } catch (const std::bad_alloc&) {
        ShowMessage("CreateSmaf failed", "Error", MessageIcon::Error);
    }
}

void DocumentSession::Close() {
    if (!document_) {
        return;
    }
    if (listener_.listGoing) {
        listener_.listGoing();
    }
    if (owned_) {
        owned_ = CloseSmaf(std::move(owned_));
    }
    Replace(nullptr, false);
}

void DocumentSession::Adopt(std::unique_ptr<Smaf> document) {
    Close();
    Replace(std::move(document), true);
}

void DocumentSession::Lend(Smaf* document) {
    Close();
    document_ = document;
    ForgetEdits();
}

void DocumentSession::Replace(std::unique_ptr<Smaf> document, bool compiledUnsaved) {
    owned_ = std::move(document);
    document_ = owned_.get();
    path_.clear();
    compiledUnsaved_ = compiledUnsaved;
    ForgetEdits();
}

// The reload frees and rebuilds the event list, so whoever follows it lets go first.
bool DocumentSession::Compile() {
    std::optional<ByteVector> compiled = CompileSMAF(*document_);
    if (!compiled) {
        ShowMessage("SMAF compile failed", "CompileSMAF Error", MessageIcon::Error);
        return false;
    }
    if (listener_.listGoing) {
        listener_.listGoing();
    }
    document_->fileData = std::move(*compiled);
    ForgetEdits();
    LoadSmaf(*document_);
    compiledUnsaved_ = true;
    return true;
}

bool DocumentSession::Save(const std::filesystem::path& path, std::string& error) {
    if (!WriteFileAtomically(path, document_->file(), error)) {
        return false;
    }
    compiledUnsaved_ = false;
    path_ = path;
    return true;
}

void DocumentSession::Undo(const EventRemovalNotice& removing) {
    if (document_ && history_.CanUndo()) {
        history_.Undo(*document_, Announcing(removing));
        EditsChanged();
    }
}

void DocumentSession::Redo(const EventRemovalNotice& removing) {
    if (document_ && history_.CanRedo()) {
        history_.Redo(*document_, Announcing(removing));
        EditsChanged();
    }
}

void DocumentSession::ForgetEdits() {
    gesture_ = EditStep();
    history_.Clear();
    EditsChanged();
}

void DocumentSession::MoveNote(Event& note, std::int64_t timeMs, std::optional<int> key,
                               const EventRemovalNotice& removing) {
    const EventRemovalNotice announcing = Announcing(removing);
    gesture_.Move(*document_, note, SnapDown(timeMs, document_->durationBase), announcing);
    if (key && !note.data.empty()) {
        note.data[0] = static_cast<std::uint8_t>(*key);
    }
    PlaceEndOfSequence(*document_, gesture_, note, announcing);
}

void DocumentSession::ResizeNote(Event& note, std::uint32_t endMs,
                                 const EventRemovalNotice& removing) {
    const std::int64_t base = std::max<std::uint32_t>(document_->gateBase, 1);
    const std::int64_t gate = std::max<std::int64_t>(std::int64_t{endMs} - note.time, base);
    gesture_.Touch(*document_, note);
    SetNoteGate(note, SnapDown(gate, static_cast<std::uint32_t>(base)));
    PlaceEndOfSequence(*document_, gesture_, note, Announcing(removing));
}

void DocumentSession::InsertNote(std::uint32_t timeMs, int track, int key,
                                 const EventRemovalNotice& removing) {
    const Event* inserted = gesture_.Insert(*document_, MakeNewNote(timeMs, track, key));
    PlaceEndOfSequence(*document_, gesture_, *inserted, Announcing(removing));
}

void DocumentSession::DeleteNote(Event& note, const EventRemovalNotice& removing) {
    gesture_.Delete(*document_, note, Announcing(removing));
}

void DocumentSession::FinishGesture() {
    if (!gesture_.touchedAny()) {
        return;
    }
    EditStep step = std::exchange(gesture_, EditStep());
    if (document_ && step.Finish(*document_)) {
        history_.Record(std::move(step));
        EditsChanged();
    }
}

EventRemovalNotice DocumentSession::Announcing(const EventRemovalNotice& removing) const {
    return [this, &removing](const Event& event) {
        if (removing) {
            removing(event);
        }
        if (listener_.eventRemoving) {
            listener_.eventRemoving(event);
        }
    };
}

void DocumentSession::EditsChanged() const {
    if (listener_.editsChanged) {
        listener_.editsChanged();
    }
}

}  // namespace rolvik
