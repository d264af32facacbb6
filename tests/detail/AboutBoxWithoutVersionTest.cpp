#include <gtest/gtest.h>
#include <QLabel>

#include "tests/support/QtTestApplication.h"
#include "ui/detail/AboutBox.h"

// This suite is linked without rolvik_resources, as a program built without its resources would be.

namespace rolvik {
namespace {

TEST(AboutBoxWithoutResources, ShowsVersionZeroAndAnEmptyIconFrame) {
    test::EnsureQtApplication();
    EXPECT_EQ(ReadProgramVersion(), ProgramVersion{});
    AboutBox box(nullptr);
    EXPECT_EQ(box.findChild<QLabel*>("version")->text(), QStringLiteral("Version 0.0.0.0"));
    EXPECT_TRUE(box.findChild<QLabel*>("icon")->pixmap().isNull());
}

}  // namespace
}  // namespace rolvik
