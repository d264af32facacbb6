#pragma once

#include <QApplication>

namespace rolvik::test {

// Widgets need one application object per process; the tests share a single one that lives until
// the process ends. It sees only the fonts of the package list: a face installed beyond them, or a
// system rule that passes one off as the views' face, would change what the tests measure.
inline void EnsureQtApplication() {
    if (!QApplication::instance()) {
        qputenv("FONTCONFIG_FILE", ROLVIK_TEST_FONTCONFIG_FILE);
        static int argc = 1;
        static char name[] = "rolvik-tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

}  // namespace rolvik::test
