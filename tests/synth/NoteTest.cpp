#include <gtest/gtest.h>

#include <vector>

#include "SynthTestSupport.h"
#include "synth/Lfo.h"
#include "synth/Note.h"

namespace rolvik::synth::test {
namespace {

constexpr int kBlockFrames = 32;

struct StereoBuffers {
    std::vector<float> left;
    std::vector<float> right;
};

// Operators whose envelopes change phase at different frames, with feedback and vibrato, so
// that the two notes' spans end apart from each other within a block.
VoiceParameters BusyVoice(int algorithm, int attackRate, int decayRate) {
    const OperatorSettings withFeedback{.ar = attackRate,
                                        .dr = decayRate,
                                        .sl = 3,
                                        .rr = 9,
                                        .tl = 8,
                                        .multi = 2,
                                        .fb = 5,
                                        .evb = true};
    const OperatorSettings plain{.ar = 15, .dr = decayRate + 2, .sl = 5, .sr = 3, .rr = 11};
    if (algorithm <= 1) {
        return MakeVoice(algorithm, {withFeedback, plain}, 2);
    }
    return MakeVoice(algorithm, {withFeedback, plain, withFeedback, plain}, 2);
}

// Renders both notes block by block, released halfway, either one after the other or together.
StereoBuffers RenderBoth(const VoiceParameters& firstVoice, const VoiceParameters& secondVoice,
                         bool together) {
    constexpr int kBlocks = 300;
    const NoteControls firstControls{.gainLeft = 0.9f, .gainRight = 0.4f};
    const NoteControls secondControls{
        .pitchBendSemitones = 0.5f, .gainLeft = 0.3f, .gainRight = 1.1f};
    Note first;
    Note second;
    first.Start(firstVoice, 0, 60, 60, 100, 0, firstControls);
    second.Start(secondVoice, 1, 67, 67, 70, 1, secondControls);
    Lfo lfo;
    StereoBuffers out{std::vector<float>(kBlocks * kBlockFrames),
                      std::vector<float>(kBlocks * kBlockFrames)};
    for (int block = 0; block < kBlocks; ++block) {
        if (block == kBlocks / 2) {
            first.Release();
            second.Release();
        }
        float* left = out.left.data() + block * kBlockFrames;
        float* right = out.right.data() + block * kBlockFrames;
        if (together) {
            Note::RenderTogether(first, second, left, right, kBlockFrames, lfo, firstControls,
                                 secondControls);
        } else {
            first.Render(left, right, kBlockFrames, lfo, firstControls);
            second.Render(left, right, kBlockFrames, lfo, secondControls);
        }
        lfo.Advance(kBlockFrames);
    }
    return out;
}

TEST(NoteTest, RenderingTwoNotesTogetherEqualsRenderingThemOneAfterTheOther) {
    for (const int algorithm : {0, 2, 4, 5}) {
        const VoiceParameters firstVoice = BusyVoice(algorithm, 13, 9);
        const VoiceParameters secondVoice = BusyVoice(algorithm, 11, 12);
        const StereoBuffers apart = RenderBoth(firstVoice, secondVoice, false);
        const StereoBuffers together = RenderBoth(firstVoice, secondVoice, true);
        EXPECT_GT(Rms(apart.left), 0.01) << "algorithm " << algorithm;
        EXPECT_EQ(apart.left, together.left) << "algorithm " << algorithm;
        EXPECT_EQ(apart.right, together.right) << "algorithm " << algorithm;
    }
}

}  // namespace
}  // namespace rolvik::synth::test
