#pragma once

#include <memory>

namespace rolvik {

// Integrated loudness (EBU R128) and true peak of stereo float frames, for the gain that brings a
// song to a target loudness.
class LoudnessMeter {
  public:
    explicit LoudnessMeter(int sampleRateHz);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void Add(const float* interleaved, int frames);
    // The factor that brings the frames added to `targetLufs`, lowered where it would lift the true
    // peak past `maxTruePeakDbtp`. 1 for frames too quiet to measure (silence).
    double GainFor(double targetLufs, double maxTruePeakDbtp) const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace rolvik
