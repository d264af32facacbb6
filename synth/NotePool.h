#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace rolvik::synth {

// A fixed set of notes of one kind (FM or sampled), taken, let go and silenced by channel and key.
// Channels 0..15 are MIDI channels; higher numbers are the audio tracks' channels. NoteT answers
// active(), released(), channel(), key(), serial() and attenuationDb(), and does Release(),
// Damp() and Kill().
template <typename NoteT, int N>
class NotePool {
  public:
    static constexpr int kSize = N;

    // A free note if there is one; otherwise the quietest released note, and only when every
    // note is still held, the oldest.
    NoteT& Allocate() {
        NoteT* quietestReleased = nullptr;
        NoteT* oldest = nullptr;
        for (int i = 0; i < N; ++i) {
            NoteT& note = notes_[i];
            if (!note.active()) {
                heldByPedal_[i] = false;
                return note;
            }
            const bool released = note.released() && !heldByPedal_[i];
            if (released && (quietestReleased == nullptr ||
                             note.attenuationDb() > quietestReleased->attenuationDb())) {
                quietestReleased = &note;
            }
            if (oldest == nullptr || note.serial() < oldest->serial()) {
                oldest = &note;
            }
        }
        NoteT& taken = quietestReleased != nullptr ? *quietestReleased : *oldest;
        heldByPedal_[IndexOf(taken)] = false;
        return taken;
    }

    // Key-off of every note struck with this key on this channel; with the hold pedal down the
    // notes keep sounding until the pedal is let go.
    void NoteOff(int channel, int key, bool hold) {
        for (int i = 0; i < N; ++i) {
            NoteT& note = notes_[i];
            if (!note.active() || note.released() || note.channel() != channel ||
                note.key() != key) {
                continue;
            }
            if (hold) {
                heldByPedal_[i] = true;
            } else {
                note.Release();
            }
        }
    }

    // The hold pedal of the channel is let go: the notes it kept sounding are released.
    void ReleaseHeld(int channel) {
        for (int i = 0; i < N; ++i) {
            if (heldByPedal_[i] && notes_[i].channel() == channel) {
                heldByPedal_[i] = false;
                notes_[i].Release();
            }
        }
    }

    void ReleaseChannel(int channel) {
        for (NoteT& note : notes_) {
            if (note.active() && note.channel() == channel) {
                note.Release();
            }
        }
    }

    void KillChannel(int channel) {
        for (int i = 0; i < N; ++i) {
            if (notes_[i].channel() == channel) {
                notes_[i].Kill();
                heldByPedal_[i] = false;
            }
        }
    }

    void ReleaseAll() {
        ForEachActive([](NoteT& note) { note.Release(); });
        heldByPedal_.fill(false);
    }

    // Fades every note out within a few ms, notes that ignore key-off included.
    void DampAll() {
        ForEachActive([](NoteT& note) { note.Damp(); });
        heldByPedal_.fill(false);
    }

    void KillAll() {
        for (NoteT& note : notes_) {
            note.Kill();
        }
        heldByPedal_.fill(false);
    }

    std::array<NoteT, N>& notes() { return notes_; }
    const std::array<NoteT, N>& notes() const { return notes_; }
    int IndexOf(const NoteT& note) const { return static_cast<int>(&note - notes_.data()); }

    int ActiveCount() const {
        return static_cast<int>(std::count_if(notes_.begin(), notes_.end(),
                                              [](const NoteT& note) { return note.active(); }));
    }

    // Bit n set while a note of MIDI channel n is held (struck and not yet let go, or kept by the
    // pedal).
    std::uint16_t HeldChannels() const {
        std::uint16_t channels = 0;
        for (int i = 0; i < N; ++i) {
            const NoteT& note = notes_[i];
            if (note.active() && note.channel() < kMidiChannels &&
                (!note.released() || heldByPedal_[i])) {
                channels |= static_cast<std::uint16_t>(1u << note.channel());
            }
        }
        return channels;
    }

    // Whether a note struck with this key on this channel still sounds (held or releasing).
    bool IsSounding(int channel, int key) const {
        return std::any_of(notes_.begin(), notes_.end(), [channel, key](const NoteT& note) {
            return note.active() && note.channel() == channel && note.key() == key;
        });
    }

  private:
    static constexpr int kMidiChannels = 16;

    template <typename Action>
    void ForEachActive(Action action) {
        for (NoteT& note : notes_) {
            if (note.active()) {
                action(note);
            }
        }
    }

    std::array<NoteT, N> notes_{};
    std::array<bool, N> heldByPedal_{};
};

}  // namespace rolvik::synth
