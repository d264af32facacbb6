// Writes the toolbar strip and the program's icons into the resource folder:
//   rolvik-make-artwork RESDIR

#include <QDir>
#include <QFile>
#include <array>
#include <cstdio>

#include "ProgramIcon.h"
#include "ToolbarStrip.h"

namespace {

// The sizes of the hicolor icon theme that a 16-unit grid fills with whole pixels.
constexpr std::array kIconSizesPx{16, 32, 48, 64, 128, 256};

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool WriteArtwork(const QDir& folder) {
    using namespace rolvik::artwork;
    bool written = DrawToolbarStrip().save(folder.filePath("toolbar.png"));
    written = DrawToolbarStrip(2).save(folder.filePath("toolbar@2x.png")) && written;
    written = WriteBytes(folder.filePath("icon.svg"), ProgramIconSvg()) && written;
    folder.mkpath("icons");
    for (const int size : kIconSizesPx) {
        written =
            DrawProgramIcon(size).save(folder.filePath(QString("icons/rolvik-%1.png").arg(size))) &&
            written;
    }
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESDIR\n", argv[0]);
        return 2;
    }
    if (!WriteArtwork(QDir(QString::fromLocal8Bit(argv[1])))) {
        std::fprintf(stderr, "cannot write the artwork into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
