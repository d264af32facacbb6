#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "EditHistory.h"
#include "EditStep.h"
#include "core/Event.h"
#include "core/Smaf.h"

namespace rolvik {

// Whoever shows or plays the document hears from the session through these; any may be empty.
struct SessionListener {
    // An event is about to leave the list while it is still linked, so that a player walking the
    // list steps off it first.
    EventRemovalNotice eventRemoving;
    // The whole event list is about to be freed (a close, a replacement, the reload after a
    // compile): nothing may keep following it.
    std::function<void()> listGoing;
    // An edit was made, taken back or made again, or the history was forgotten.
    std::function<void()> editsChanged;
};

// The open document and its editing: the song, the edit history in named steps, the gesture under
// way, and whether the song holds edits that no compile or no saved file has taken in.
//
// The history begins at every open, import, New and compile, so a step still done is an edit
// that only the list holds. A compile puts the edits in the file image, which is only in memory
// until it is saved; Save writes the image, not the list, so edits made after the last compile stay
// unsaved through a save.
class DocumentSession {
  public:
    DocumentSession() = default;
    DocumentSession(const DocumentSession&) = delete;
    DocumentSession& operator=(const DocumentSession&) = delete;

    void SetListener(SessionListener listener) { listener_ = std::move(listener); }
    Smaf* document() const { return document_; }
    // The file the song was opened from, imported from or last saved to; empty for a new song.
    const std::filesystem::path& path() const { return path_; }

    // Opens a SMAF file, or imports a Standard MIDI file and compiles it at once so that it plays,
    // reports and saves like a loaded file (no saved file holds that one yet); what the file
    // holds decides, not its name. Only a file that opens replaces the document: one that cannot
    // be read, imported or loaded leaves the previous document as it was, and false comes back.
    bool Open(const std::filesystem::path& path);
    void New();
    void Close();
    // Shows and edits a document that the caller keeps and frees.
    void Lend(Smaf* document);
    // Takes a document whose file image was made elsewhere (a ringtone made from a recording) as
    // the open one; no file holds it yet.
    void Adopt(std::unique_ptr<Smaf> document);

    // Compiles the list into the file image and reloads the list from it; a song that does not
    // compile stays as it was, with a message that says so. Needs a document.
    bool Compile();
    // Writes the file image atomically; false with the reason in `error`. Needs a document.
    bool Save(const std::filesystem::path& path, std::string& error);

    bool HasUncompiledEdits() const { return history_.CanUndo(); }
    bool HasUnsavedEdits() const { return document_ && (compiledUnsaved_ || HasUncompiledEdits()); }

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    // Each takes `removing` as well as the listener's notice for every event leaving the list.
    void Undo(const EventRemovalNotice& removing);
    void Redo(const EventRemovalNotice& removing);
    // The list as it is now becomes the unedited one; a gesture under way loses its record too, so
    // that going on with it starts a fresh step.
    void ForgetEdits();

    // The changes of one gesture, gathered into one step until FinishGesture; each needs a
    // document, and the notes they take are events of its list.
    // Moves the note to `timeMs` (down to the duration base), and to `key` when there is one.
    void MoveNote(Event& note, std::int64_t timeMs, std::optional<int> key,
                  const EventRemovalNotice& removing);
    // The note's length follows `endMs` in whole gate ticks and never drops below one tick.
    void ResizeNote(Event& note, std::uint32_t endMs, const EventRemovalNotice& removing);
    void InsertNote(std::uint32_t timeMs, int track, int key, const EventRemovalNotice& removing);
    void DeleteNote(Event& note, const EventRemovalNotice& removing);
    // Records the gesture's step, unless the list is as it was before the gesture.
    void FinishGesture();

  private:
    void Replace(std::unique_ptr<Smaf> document, bool compiledUnsaved);
    EventRemovalNotice Announcing(const EventRemovalNotice& removing) const;
    void EditsChanged() const;

    SessionListener listener_;
    std::unique_ptr<Smaf> owned_;
    std::filesystem::path path_;
    Smaf* document_ = nullptr;
    EditHistory history_;
    EditStep gesture_;
    bool compiledUnsaved_ = false;  // the file image was compiled and has not been saved since
};

}  // namespace rolvik
