#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "EnvelopeRates.h"

namespace rolvik::synth {

// Where every fade ends: the full swing of the envelope below full level.
constexpr float kSilentDb = static_cast<float>(kEnvelopeRangeDb);
// A note that sounds this far below full scale (its envelope and levels together) is no longer
// heard and ends, which saves computing the long inaudible tails of slow releases.
constexpr float kQuietDb = 84.0f;

enum class EnvelopePhase : std::uint8_t { Attack, Decay, Sustain, Release, Off };

// An envelope as it runs, for an FM operator or a sampled note alike: its phase and how far below
// full level it stands. The rates it runs at are the note's OperatorEnvelope.
struct EnvelopeState {
    float db = kSilentDb;
    EnvelopePhase phase = EnvelopePhase::Attack;

    // The level `samples` on, held at the end of the current phase: the attack's curve towards
    // kAttackShapeDb above full level (computed in `Real`), otherwise a straight line in dB.
    template <typename Real>
    float After(const OperatorEnvelope& rates, int samples) const {
        switch (phase) {
            case EnvelopePhase::Attack: {
                const Real shape = static_cast<Real>(kAttackShapeDb);
                const Real remaining = std::pow(static_cast<Real>(1) - rates.attackCoefficient,
                                                static_cast<Real>(samples));
                return std::max(0.0f, static_cast<float>((db + shape) * remaining - shape));
            }
            case EnvelopePhase::Decay:
                return std::min(rates.sustainLevelDb, db + samples * rates.decayDbPerSample);
            case EnvelopePhase::Sustain:
                return std::min(kSilentDb, db + samples * rates.sustainRateDbPerSample);
            case EnvelopePhase::Release:
                return std::min(kSilentDb, db + samples * rates.releaseDbPerSample);
            case EnvelopePhase::Off:
                break;
        }
        return kSilentDb;
    }

    // Moves on to the next phase when the level has reached the end of the current one: the
    // attack's at full level, the decay's at the sustain level. True when it did.
    bool EndPhaseIfReached(const OperatorEnvelope& rates) {
        if (phase == EnvelopePhase::Attack && db <= 0.0f) {
            phase = EnvelopePhase::Decay;
            return true;
        }
        if (phase == EnvelopePhase::Decay && db >= rates.sustainLevelDb) {
            phase = EnvelopePhase::Sustain;
            return true;
        }
        return false;
    }
};

}  // namespace rolvik::synth
