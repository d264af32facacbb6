#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SynthTestSupport.h"
#include "synth/Lfo.h"
#include "synth/Note.h"

namespace rolvik::synth::test {
namespace {

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
            Note* const notes[] = {&first, &second};
            const NoteControls* const controls[] = {&firstControls, &secondControls};
            Note::RenderTogether(notes, controls, left, right, kBlockFrames, lfo);
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

// Two carriers side by side and no feedback, so that rounding cannot move a waveform index and
// the renders compare closely; the release rate sets when the note is no longer heard.
VoiceParameters PlainVoice(int releaseRate) {
    const OperatorSettings carrier{.ar = 15, .dr = 4, .sl = 2, .rr = releaseRate, .tl = 4};
    return MakeVoice(1, {carrier, {.ar = 14, .dr = 6, .sl = 4, .rr = releaseRate, .multi = 2}});
}

struct TwoNotes {
    Note early;  // released sooner and stopping first
    Note late;
    const NoteControls earlyControls{.gainLeft = 0.8f, .gainRight = 0.5f};
    const NoteControls lateControls{.gainLeft = 0.6f, .gainRight = 0.9f};

    TwoNotes() {
        early.Start(PlainVoice(10), 0, 60, 60, 100, 0, earlyControls);
        late.Start(PlainVoice(8), 1, 64, 64, 90, 1, lateControls);
    }
};

// Renders a second in stretches of 1000 frames as the synthesiser does, releasing both notes
// after the first stretch: either each note block by block or both together, a stretch at once.
StereoBuffers RenderStretches(bool manyBlocksAtOnce) {
    constexpr int kStretch = 1000;
    constexpr int kStretches = 48;
    TwoNotes notes;
    Lfo lfo;
    StereoBuffers out{std::vector<float>(kStretch * kStretches),
                      std::vector<float>(kStretch * kStretches)};
    for (int stretch = 0; stretch < kStretches; ++stretch) {
        if (stretch == 1) {
            notes.early.Release();
            notes.late.Release();
        }
        float* left = out.left.data() + stretch * kStretch;
        float* right = out.right.data() + stretch * kStretch;
        Note* const both[] = {&notes.early, &notes.late};
        const NoteControls* const controls[] = {&notes.earlyControls, &notes.lateControls};
        if (manyBlocksAtOnce) {
            std::vector<Note*> sounding;
            std::vector<const NoteControls*> soundingControls;
            for (int n = 0; n < 2; ++n) {
                if (both[n]->active()) {
                    sounding.push_back(both[n]);
                    soundingControls.push_back(controls[n]);
                }
            }
            Note::RenderTogether(sounding, soundingControls, left, right, kStretch, lfo);
            continue;
        }
        for (int done = 0; done < kStretch; done += kBlockFrames) {
            const int block = std::min(kBlockFrames, kStretch - done);
            for (int n = 0; n < 2; ++n) {
                if (both[n]->active()) {
                    both[n]->Render(left + done, right + done, block, lfo, *controls[n]);
                }
            }
        }
    }
    return out;
}

std::size_t LastSoundingFrame(const std::vector<float>& samples) {
    const auto last =
        std::find_if(samples.rbegin(), samples.rend(), [](float sample) { return sample != 0.0f; });
    return static_cast<std::size_t>(samples.rend() - last);
}

TEST(NoteTest, NotesRenderedManyBlocksAtOnceSoundAndStopAsBlockByBlock) {
    ASSERT_FALSE(TwoNotes().early.FollowsLfo(TwoNotes().earlyControls));
    const StereoBuffers blockByBlock = RenderStretches(false);
    const StereoBuffers atOnce = RenderStretches(true);
    ASSERT_LT(LastSoundingFrame(blockByBlock.left), blockByBlock.left.size())
        << "the notes must stop within the render";
    EXPECT_EQ(LastSoundingFrame(atOnce.left), LastSoundingFrame(blockByBlock.left));
    for (std::size_t i = 0; i < atOnce.left.size(); ++i) {
        ASSERT_NEAR(atOnce.left[i], blockByBlock.left[i], 2e-5f) << "frame " << i;
        ASSERT_NEAR(atOnce.right[i], blockByBlock.right[i], 2e-5f) << "frame " << i;
    }
}

}  // namespace
}  // namespace rolvik::synth::test
