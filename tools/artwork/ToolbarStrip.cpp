#include "ToolbarStrip.h"

#include <QColor>
#include <array>
#include <stdexcept>
#include <string_view>

namespace rolvik::artwork {
namespace {

using PixelMap = std::array<std::string_view, kToolbarImageSizePx>;

// One letter a pixel; '.' is the transparent magenta.
QColor PaletteColour(char letter) {
    switch (letter) {
        case '.':
            return QColor(255, 0, 255);
        case 'k':
            return QColor(0, 0, 0);
        case 'w':
            return QColor(255, 255, 255);
        case 's':
            return QColor(192, 192, 192);
        case 'g':
            return QColor(128, 128, 128);
        case 'a':
            return QColor(64, 64, 64);
        case 'y':
            return QColor(255, 255, 0);
        case 'o':
            return QColor(192, 160, 0);
        case 'b':
            return QColor(0, 0, 255);
        case 'n':
            return QColor(0, 0, 128);
        case 'r':
            return QColor(255, 0, 0);
        case 'm':
            return QColor(128, 0, 0);
        case 'e':
            return QColor(0, 128, 0);
        case 'l':
            return QColor(0, 224, 0);
        case 'c':
            return QColor(0, 160, 192);
        default:
            throw std::invalid_argument("unknown palette letter in a toolbar image");
    }
}

constexpr std::array<PixelMap, kToolbarImageCount> kImages{{
    // New
    {{
        "................",
        "..kkkkkkkkk.....",
        "..kwwwwwwwkk....",
        "..kwwwwwwwksk...",
        "..kwwwwwwwksk...",
        "..kwwwwwwwkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    }},
    // Load SMAF
    {{
        "................",
        "................",
        "................",
        ".kkkk...........",
        "kwwwwk..........",
        "kwyyyykkkkkkk...",
        "kwyyyyyyyyyyok..",
        "kwyykkkkkkkkkkkk",
        "kwykyyyyyyyyyyok",
        "kwykyyyyyyyyyok.",
        "kwkyyyyyyyyyyok.",
        "kwkyyyyyyyyyok..",
        "kkyyyyyyyyyyok..",
        "kkooooooooooak..",
        ".kkkkkkkkkkkk...",
        "................",
    }},
    // Compile SMAF to memory
    {{
        "......kkkk......",
        "......klek......",
        "......klek......",
        "......klek......",
        "....kkklekkk....",
        ".....klllek.....",
        "......klek......",
        ".......kk.......",
        ".kgkgkgkgkgkgk..",
        "kkkkkkkkkkkkkkk.",
        "kggggggggggggak.",
        "kgkgggggggggggk.",
        "kggggggggggggak.",
        "kkkkkkkkkkkkkkk.",
        ".kgkgkgkgkgkgk..",
        "................",
    }},
    // Save memory SMAF
    {{
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knkwwwwwwwwknk.",
        ".knkwrrrrrrwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwrrrrrrwknk.",
        ".knkwwwwwwwwknk.",
        ".knnkkkkkkkknnk.",
        ".knnnnnnnnnnnnk.",
        ".knnkkkkkkkknnk.",
        ".knnkssskkssknk.",
        ".knnkssskkssknk.",
        ".knnkssskkssknk.",
        ".knnkssssssssnk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    }},
    // Close
    {{
        "................",
        "................",
        "..kk.......kk...",
        ".krrk.....krrk..",
        ".krrrk...krrrk..",
        "..krrrk.krrrk...",
        "...krrrkrrrk....",
        "....krrrrrk.....",
        ".....krrrk......",
        "....krrrrrk.....",
        "...krrrkrrrk....",
        "..krrrk.krrrk...",
        ".krrrk...krrrk..",
        ".krrk.....krrk..",
        "..kk.......kk...",
        "................",
    }},
    // EmuPlay
    {{
        "................",
        ".kk.............",
        ".kek............",
        ".kllk...........",
        ".klllk..........",
        ".kllllk.........",
        ".klllllk........",
        ".kllllllk.......",
        ".klllllk........",
        ".kllllk..g.g.g..",
        ".klllk..kkkkkkk.",
        ".kllk...kaaaaak.",
        ".klk....kaggaak.",
        ".kk.....kkkkkkk.",
        ".........g.g.g..",
        "................",
    }},
    // MidiPlay
    {{
        "................",
        ".kk.............",
        ".kek............",
        ".kllk...........",
        ".klllk..........",
        ".kllllk...kk....",
        ".klllllk..kbk...",
        ".kllllllk.kbbk..",
        ".klllllk..kbkbk.",
        ".kllllk...kbk.k.",
        ".klllk....kbk...",
        ".kllk...kkkbk...",
        ".klk...kbbbbk...",
        ".kk....kbbbbk...",
        "........kkkk....",
        "................",
    }},
    // Stop
    {{
        "................",
        "................",
        "................",
        "...kkkkkkkkkk...",
        "...kmmmmmmmmk...",
        "...kmrrrrrrmk...",
        "...kmrrrrrrmk...",
        "...kmrrrrrrmk...",
        "...kmrrrrrrmk...",
        "...kmrrrrrrmk...",
        "...kmrrrrrrmk...",
        "...kmmmmmmmmk...",
        "...kkkkkkkkkk...",
        "................",
        "................",
        "................",
    }},
    // Rewind
    {{
        "................",
        "................",
        "................",
        ".kk.....kk....kk",
        ".kk....kbk...kbk",
        ".kk...kbbk..kbbk",
        ".kk..kbbbk.kbbbk",
        ".kk.kbbbbkkbbbbk",
        ".kk.kbbbbkkbbbbk",
        ".kk..kbbbk.kbbbk",
        ".kk...kbbk..kbbk",
        ".kk....kbk...kbk",
        ".kk.....kk....kk",
        "................",
        "................",
        "................",
    }},
    // MidiReset
    {{
        "................",
        ".....kkkkk......",
        "...kkcccccck.k..",
        "..kcckkkkkcckck.",
        ".kcck.....kccck.",
        ".kck.....kcccck.",
        "kcck.....kkkkkk.",
        "kck.............",
        "kck.............",
        "kcck.......kcck.",
        ".kck.......kck..",
        ".kcck.....kcck..",
        "..kcckkkkkcck...",
        "...kkcccccck....",
        ".....kkkkkk.....",
        "................",
    }},
    // Show detail
    {{
        "................",
        "kkkkkkkkkkkkkkk.",
        "knnnnnnnnnnwnwk.",
        "kkkkkkkkkkkkkkk.",
        "kwwwwwwwwwwwwwk.",
        "kwkkkkwkkkwwwwk.",
        "kwwwwwwwwwwwwwk.",
        "kwrrrrrrrrrrrwk.",
        "kwwwwwwwwwwwwwk.",
        "kweeeeeeeewwwwk.",
        "kwwwwwwwwwwwwwk.",
        "kwbbbbbbbbbbbwk.",
        "kwwwwwwwwwwwwwk.",
        "kwkkkkkkwwwwwwk.",
        "kwwwwwwwwwwwwwk.",
        "kkkkkkkkkkkkkkk.",
    }},
    // Help Index
    {{
        "................",
        ".....kkkkkk.....",
        "...kknnnnnnkk...",
        "..knnnwwwwnnnk..",
        "..knnwwnnwwnnk..",
        ".knnnwwnnwwnnnk.",
        ".knnnnnnnwwnnnk.",
        ".knnnnnnwwnnnnk.",
        ".knnnnnwwnnnnnk.",
        ".knnnnnwwnnnnnk.",
        "..knnnnnnnnnnk..",
        "..knnnnwwnnnnk..",
        "...kknwwnnnkk...",
        ".....kkkkkk.....",
        "................",
        "................",
    }},
}};

void DrawImage(QImage& strip, int index, const PixelMap& pixels, int scale) {
    const int cell = kToolbarImageSizePx * scale;
    for (int y = 0; y < kToolbarImageSizePx; ++y) {
        if (pixels[y].size() != kToolbarImageSizePx) {
            throw std::invalid_argument("a toolbar image row is not 16 pixels wide");
        }
        for (int x = 0; x < kToolbarImageSizePx; ++x) {
            const QColor colour = PaletteColour(pixels[y][x]);
            for (int dy = 0; dy < scale; ++dy) {
                for (int dx = 0; dx < scale; ++dx) {
                    strip.setPixelColor(index * cell + x * scale + dx, y * scale + dy, colour);
                }
            }
        }
    }
}

}  // namespace

QImage DrawToolbarStrip(int scale) {
    const int cell = kToolbarImageSizePx * scale;
    QImage strip(cell * kToolbarImageCount, cell, QImage::Format_RGB32);
    for (int index = 0; index < kToolbarImageCount; ++index) {
        DrawImage(strip, index, kImages[index], scale);
    }
    return strip;
}

}  // namespace rolvik::artwork
