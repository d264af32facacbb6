#include "DemoSong.h"

#include <array>
#include <vector>

#include "core/Number.h"
#include "core/ScoreTrack.h"

namespace rolvik::demo {
namespace {

constexpr std::uint32_t kBeatMs =
    480;  // 125 beats a minute, so every eighth is whole ticks of 4 ms
constexpr std::uint32_t kBarMs = 4 * kBeatMs;

constexpr std::uint8_t kMelodyChannel = 0;
constexpr std::uint8_t kHarmonyChannel = 1;
constexpr std::uint8_t kBassChannel = 2;
constexpr std::uint8_t kDrumChannel = 9;

// A note in beats: start and length are counted in eighths of a beat so dotted rhythms stay exact.
struct Note {
    std::uint8_t key;
    std::uint32_t startEighths;
    std::uint32_t lengthEighths;
};

class SongWriter {
  public:
    explicit SongWriter(Smaf& smaf) : smaf_(smaf) {}

    void Control(std::uint8_t channel, std::uint8_t controller, std::uint8_t value) {
        Add(0, 0xB0 | channel, {controller, value});
    }

    void Voice(std::uint8_t channel, std::uint8_t bank, std::uint8_t program) {
        Control(channel, 0, bank);
        Control(channel, 32, 0);
        Add(0, 0xC0 | channel, {program});
    }

    // A note with velocity; the gate leaves a little air before the next note.
    void Play(std::uint8_t channel, std::uint32_t timeMs, std::uint8_t key, std::uint8_t velocity,
              std::uint32_t gateMs) {
        ByteVector data{key, velocity};
        WriteNumber(data, gateMs);
        Add(timeMs, 0x90 | channel, std::move(data));
    }

    void EndOfSequence(std::uint32_t timeMs) { Add(timeMs, 0xFF, {0x2F, 0x00}); }

  private:
    void Add(std::uint32_t timeMs, std::uint8_t status, ByteVector data) {
        InsertEvent(smaf_, std::make_unique<Event>(timeMs, status, std::move(data)));
    }

    Smaf& smaf_;
};

constexpr std::uint8_t C3 = 48, D3 = 50, E3 = 52, G3 = 55, B3 = 59;
constexpr std::uint8_t G2 = 43, C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67;

// The tune as (key, length in eighths of a beat), one bar a line.
struct TuneNote {
    std::uint8_t key;
    std::uint32_t lengthEighths;
};
constexpr TuneNote kTune[] = {
    {E4, 8},  {E4, 8}, {F4, 8},  {G4, 8},           //
    {G4, 8},  {F4, 8}, {E4, 8},  {D4, 8},           //
    {C4, 8},  {C4, 8}, {D4, 8},  {E4, 8},           //
    {E4, 12}, {D4, 4}, {D4, 16},                    //
    {E4, 8},  {E4, 8}, {F4, 8},  {G4, 8},           //
    {G4, 8},  {F4, 8}, {E4, 8},  {D4, 8},           //
    {C4, 8},  {C4, 8}, {D4, 8},  {E4, 8},           //
    {D4, 12}, {C4, 4}, {C4, 16},                    //
    {D4, 8},  {D4, 8}, {E4, 8},  {C4, 8},           //
    {D4, 8},  {E4, 4}, {F4, 4},  {E4, 8}, {C4, 8},  //
    {D4, 8},  {E4, 4}, {F4, 4},  {E4, 8}, {D4, 8},  //
    {C4, 8},  {D4, 8}, {G3, 16},                    //
    {E4, 8},  {E4, 8}, {F4, 8},  {G4, 8},           //
    {G4, 8},  {F4, 8}, {E4, 8},  {D4, 8},           //
    {C4, 8},  {C4, 8}, {D4, 8},  {E4, 8},           //
    {D4, 12}, {C4, 4}, {C4, 16},                    //
    {C4, 32},
};

std::vector<Note> Melody() {
    std::vector<Note> notes;
    std::uint32_t at = 0;
    for (const TuneNote& note : kTune) {
        notes.push_back({note.key, at, note.lengthEighths});
        at += note.lengthEighths;
    }
    return notes;
}

// One chord root a bar (two where the harmony moves at the half bar), as C major or G major.
std::vector<std::vector<bool>> Harmony() {
    constexpr bool C = true, G = false;
    return {{C},    {G},    {C},    {G}, {C}, {G}, {C},    {G, C}, {G},
            {C, G}, {C, G}, {C, G}, {C}, {G}, {C}, {G, C}, {C}};
}

void WriteMelody(SongWriter& song) {
    for (const Note& note : Melody()) {
        const std::uint32_t startMs = note.startEighths * kBeatMs / 8;
        const std::uint32_t lengthMs = note.lengthEighths * kBeatMs / 8;
        song.Play(kMelodyChannel, startMs, note.key, 100, lengthMs - lengthMs / 8);
    }
}

void WriteAccompaniment(SongWriter& song) {
    const std::array<std::uint8_t, 3> cMajor{C3, E3, G3};
    const std::array<std::uint8_t, 3> gMajor{B3, D3, G3};
    const auto bars = Harmony();
    for (std::uint32_t bar = 0; bar < bars.size(); ++bar) {
        const std::uint32_t chordMs = kBarMs / static_cast<std::uint32_t>(bars[bar].size());
        for (std::uint32_t i = 0; i < bars[bar].size(); ++i) {
            const bool isC = bars[bar][i];
            const std::uint32_t startMs = bar * kBarMs + i * chordMs;
            for (std::uint8_t key : isC ? cMajor : gMajor) {
                song.Play(kHarmonyChannel, startMs, key, 64, chordMs - 40);
            }
            const std::uint8_t root = isC ? C3 - 12 : G2;
            for (std::uint32_t beat = 0; beat < chordMs / kBeatMs; ++beat) {
                const std::uint8_t key = beat % 2 == 0 ? root : root + 7;
                song.Play(kBassChannel, startMs + beat * kBeatMs, key, 96, kBeatMs - 60);
            }
        }
    }
}

void WriteDrums(SongWriter& song, std::uint32_t bars) {
    constexpr std::uint8_t kKick = 36, kSnare = 38, kClosedHat = 42, kCrash = 49;
    for (std::uint32_t bar = 0; bar + 1 < bars; ++bar) {
        for (std::uint32_t eighth = 0; eighth < 8; ++eighth) {
            const std::uint32_t atMs = bar * kBarMs + eighth * kBeatMs / 2;
            song.Play(kDrumChannel, atMs, kClosedHat, eighth % 2 == 0 ? 72 : 48, 80);
            if (eighth == 0 || eighth == 4) {
                song.Play(kDrumChannel, atMs, kKick, 112, 120);
            }
            if (eighth == 2 || eighth == 6) {
                song.Play(kDrumChannel, atMs, kSnare, 96, 120);
            }
        }
    }
    song.Play(kDrumChannel, (bars - 1) * kBarMs, kCrash, 110, 1500);
    song.Play(kDrumChannel, (bars - 1) * kBarMs, kKick, 112, 120);
}

void WriteSetUp(SongWriter& song) {
    song.Voice(kMelodyChannel, kMelodyBank, 73);   // flute
    song.Voice(kHarmonyChannel, kMelodyBank, 48);  // strings
    song.Voice(kBassChannel, kMelodyBank, 33);     // finger bass
    song.Voice(kDrumChannel, kDrumBank, 0);
    song.Control(kMelodyChannel, 7, 110);
    song.Control(kHarmonyChannel, 7, 70);
    song.Control(kBassChannel, 7, 100);
    song.Control(kDrumChannel, 7, 90);
    song.Control(kHarmonyChannel, 10, 40);
    song.Control(kBassChannel, 10, 72);
    song.Control(kMelodyChannel, 11, 127);
}

}  // namespace

std::unique_ptr<Smaf> BuildDemoSong() {
    constexpr std::uint32_t kBars = 17;
    auto smaf = CreateSmaf(4, 4);
    SongWriter song(*smaf);
    WriteSetUp(song);
    WriteMelody(song);
    WriteAccompaniment(song);
    WriteDrums(song, kBars);
    song.EndOfSequence(kBars * kBarMs);
    return smaf;
}

}  // namespace rolvik::demo
