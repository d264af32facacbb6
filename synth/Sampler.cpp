#include "Sampler.h"

#include <algorithm>

namespace rolvik::synth {
namespace {

constexpr int kMidiChannels = 16;

}  // namespace

SampledNote& Sampler::Allocate() {
    SampledNote* quietestReleased = nullptr;
    SampledNote* oldest = nullptr;
    for (int i = 0; i < kMaxNotes; ++i) {
        SampledNote& note = notes_[i];
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
    SampledNote& taken = quietestReleased != nullptr ? *quietestReleased : *oldest;
    heldByPedal_[&taken - notes_.data()] = false;
    return taken;
}

void Sampler::NoteOff(int channel, int key, bool hold) {
    for (int i = 0; i < kMaxNotes; ++i) {
        SampledNote& note = notes_[i];
        if (!note.active() || note.released() || note.channel() != channel || note.key() != key) {
            continue;
        }
        if (hold) {
            heldByPedal_[i] = true;
        } else {
            note.Release();
        }
    }
}

void Sampler::ReleaseHeld(int channel) {
    for (int i = 0; i < kMaxNotes; ++i) {
        if (heldByPedal_[i] && notes_[i].channel() == channel) {
            heldByPedal_[i] = false;
            notes_[i].Release();
        }
    }
}

void Sampler::ReleaseChannel(int channel) {
    for (SampledNote& note : notes_) {
        if (note.active() && note.channel() == channel) {
            note.Release();
        }
    }
}

void Sampler::KillChannel(int channel) {
    for (SampledNote& note : notes_) {
        if (note.channel() == channel) {
            note.Kill();
        }
    }
}

void Sampler::ReleaseAll() {
    for (SampledNote& note : notes_) {
        if (note.active()) {
            note.Release();
        }
    }
    heldByPedal_.fill(false);
}

void Sampler::DampAll() {
    for (SampledNote& note : notes_) {
        if (note.active()) {
            note.Damp();
        }
    }
    heldByPedal_.fill(false);
}

void Sampler::KillAll() {
    for (SampledNote& note : notes_) {
        note.Kill();
    }
    heldByPedal_.fill(false);
}

void Sampler::Render(float* left, float* right, int frames, const Lfo& lfo,
                     const std::array<NoteControls, kMaxNotes>& controls) {
    for (int i = 0; i < kMaxNotes; ++i) {
        if (notes_[i].active()) {
            notes_[i].Render(left, right, frames, lfo, controls[i]);
        }
    }
}

int Sampler::ActiveCount() const {
    return static_cast<int>(std::count_if(notes_.begin(), notes_.end(),
                                          [](const SampledNote& note) { return note.active(); }));
}

std::uint16_t Sampler::HeldChannels() const {
    std::uint16_t channels = 0;
    for (int i = 0; i < kMaxNotes; ++i) {
        const SampledNote& note = notes_[i];
        if (note.active() && note.channel() < kMidiChannels &&
            (!note.released() || heldByPedal_[i])) {
            channels |= static_cast<std::uint16_t>(1u << note.channel());
        }
    }
    return channels;
}

bool Sampler::IsSounding(int channel, int key) const {
    return std::any_of(notes_.begin(), notes_.end(), [channel, key](const SampledNote& note) {
        return note.active() && note.channel() == channel && note.key() == key;
    });
}

}  // namespace rolvik::synth
