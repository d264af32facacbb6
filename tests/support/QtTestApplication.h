#pragma once

#include <QApplication>

namespace rolvik::test {

// Widgets need one application object per process; the tests share a single one that lives until
// the process ends.
inline void EnsureQtApplication() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "rolvik-tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

}  // namespace rolvik::test
