#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/support/QtTestApplication.h"
#include "ui/detail/AboutBox.h"

namespace rolvik {
namespace {

TEST(ProgramVersionTest, ComesFromTheCompiledInResource) {
    EXPECT_EQ(ReadProgramVersion(), (ProgramVersion{2007, 2, 21, 1}));
    EXPECT_EQ(VersionText(ReadProgramVersion()), QStringLiteral("Version 2007.2.21.1"));
}

TEST(ProgramVersionTest, AnythingButFourSixteenBitNumbersIsZero) {
    EXPECT_EQ(ParseProgramVersion("1.2.3.4\n"), (ProgramVersion{1, 2, 3, 4}));
    EXPECT_EQ(ParseProgramVersion("65535.0.0.65535"), (ProgramVersion{65535, 0, 0, 65535}));
    for (const char* text : {"", "2007.2.21", "2007.2.21.1.0", "65536.0.0.0", "-1.0.0.0",
                             "2007.2.x.1", "2007..21.1"}) {
        EXPECT_EQ(ParseProgramVersion(text), ProgramVersion{}) << text;
    }
    EXPECT_EQ(VersionText({}), QStringLiteral("Version 0.0.0.0"));
}

class AboutBoxTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    // Shows the box as the active window with the keyboard focus where the dialog put it.
    static void ShowActive(AboutBox& box) {
        box.show();
        QApplication::setActiveWindow(&box);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    }

    static QLabel* LabelWithText(const AboutBox& box, const QString& text) {
        for (QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text() == text) {
                return label;
            }
        }
        return nullptr;
    }
};

TEST_F(AboutBoxTest, ShowsTheTextsWithTheVersionAndTheIcon) {
    AboutBox box(nullptr);
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About this software..."));
    EXPECT_EQ(box.findChild<QLabel*>("version")->text(), QStringLiteral("Version 2007.2.21.1"));
    for (const char* text :
         {"PianoRoll SMAF Sequencer", "for MA-3", "R", "o", "l", "v", "i", "k"}) {
        EXPECT_NE(LabelWithText(box, QString::fromLatin1(text)), nullptr) << text;
    }
    const QLabel* icon = box.findChild<QLabel*>("icon");
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->frameShadow(), QFrame::Sunken);
}

TEST_F(AboutBoxTest, LettersOfTheNameRunDiagonallyAndEveryTextFitsItsBox) {
    AboutBox box(nullptr);
    const QLabel* first = LabelWithText(box, "R");
    const QLabel* last = LabelWithText(box, "k");
    EXPECT_EQ(first->geometry(), box.DialogUnitsToPixels(30, 5, 8, 8));
    EXPECT_EQ(last->geometry(), box.DialogUnitsToPixels(80, 55, 8, 8));
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (label->objectName() != QStringLiteral("icon")) {
            const QSize needed = label->sizeHint();
            EXPECT_LE(needed.width(), label->width()) << label->text().toStdString();
            EXPECT_LE(needed.height(), label->height()) << label->text().toStdString();
        }
    }
    EXPECT_TRUE(box.rect().contains(box.findChild<QPushButton*>()->geometry()));
}

TEST_F(AboutBoxTest, EscEnterOkAndTheCloseBoxAllCloseIt) {
    const auto closes = [](const char* how, const std::function<void(AboutBox&)>& action) {
        AboutBox box(nullptr);
        ShowActive(box);
        action(box);
        EXPECT_FALSE(box.isVisible()) << how;
    };
    closes("Esc", [](AboutBox&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    closes("Return",
           [](AboutBox&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
    closes("Enter", [](AboutBox&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter); });
    closes("OK",
           [](AboutBox& box) { QTest::mouseClick(box.findChild<QPushButton*>(), Qt::LeftButton); });
    closes("close box", [](AboutBox& box) { box.close(); });
}

TEST_F(AboutBoxTest, OkHasTheFocusAndIsTheDefault) {
    AboutBox box(nullptr);
    ShowActive(box);
    const auto* ok = box.findChild<QPushButton*>();
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

TEST_F(AboutBoxTest, RunAboutBoxIsModalOverItsOwnerUntilClosed) {
    QWidget owner;
    owner.show();
    bool sawAboutBox = false;
    QWidget* seenParent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawAboutBox = dynamic_cast<AboutBox*>(modal) != nullptr;
        if (modal) {
            seenParent = modal->parentWidget();
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
    RunAboutBox(&owner);
    EXPECT_TRUE(sawAboutBox);
    EXPECT_EQ(seenParent, &owner);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace rolvik
