#include "app/CAboutDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/MarkupRenderer.h"

namespace velmorin {
namespace {

QFont VersionFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(20);
    font.setWeight(QFont::ExtraBold);
    return font;
}

QTextCharFormat FormatAt(QTextBrowser* browser, int position) {
    QTextCursor cursor(browser->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

// Stands in for the three-second timer: remembers what was asked for and
// fires when the test says so.
struct ManualTimer {
    std::vector<int> requested;
    std::function<void()> fire;
    CAboutDialog::TimerStarter Starter() {
        return [this](int milliseconds, std::function<void()> callback) {
            requested.push_back(milliseconds);
            fire = std::move(callback);
        };
    }
};

TEST(AboutBox, ShowsNameVersionPurposeAndModel) {
    int counter = 100;
    const QFont font = VersionFont();
    CAboutDialog dialog(counter, font);
    EXPECT_EQ(dialog.windowTitle(), "Acerca de velmorin");
    EXPECT_EQ(dialog.versionLine()->text(), QString::fromUtf8("Velmorin versión 1.0  rev 02g"));
    EXPECT_EQ(dialog.versionLine()->font().pixelSize(), 20);
    EXPECT_EQ(dialog.versionLine()->font().weight(), QFont::ExtraBold);

    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains("Editor Ladder - Compilador - Monitor"));
    EXPECT_TRUE(texts.contains("para Velmorin VADRI modelo RV17"));

    const auto* icon = dialog.findChild<QLabel*>("aboutIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());

    bool hasAccept = false;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
        hasAccept = hasAccept || button->text() == "Aceptar";
    }
    EXPECT_TRUE(hasAccept);

    QPushButton* tiny = dialog.splashButton();
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->objectName(), "splashButton");
    EXPECT_TRUE(tiny->text().isEmpty());
    EXPECT_TRUE(tiny->isFlat());
    EXPECT_LT(tiny->maximumWidth(), 20);
    EXPECT_LT(tiny->maximumHeight(), 20);
}

TEST(AboutBox, MakerLineIsDarkGreyBoldWithALinkToTheDocumentation) {
    int counter = 100;
    CAboutDialog dialog(counter, VersionFont());
    QTextBrowser* maker = dialog.makerLine();
    ASSERT_EQ(MarkupLevelOf(maker), MarkupLevel::Links);
    const QString text = maker->toPlainText();
    EXPECT_TRUE(text.contains("2001"));
    const int at = static_cast<int>(text.indexOf("Proyecto Velmorin"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(FormatAt(maker, 0).foreground().color(), QColor(0x0F, 0x0F, 0x0F));
    EXPECT_GE(FormatAt(maker, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(LinkAt(maker, {at, at + 1}), CAboutDialog::DocumentationTarget());
    EXPECT_LE(CAboutDialog::DocumentationTarget().size(), MaxLinkTarget);
    EXPECT_EQ(maker->document()->blockCount(), 1);
}

TEST(AboutBox, CreditsAndTelephoneKeepTheMakerColour) {
    int counter = 100;
    CAboutDialog dialog(counter, VersionFont());
    QTextBrowser* maker = dialog.makerLine();
    SetMarkupText(maker, CAboutDialog::CreditsMarkup());
    ASSERT_EQ(maker->document()->blockCount(), 2);
    const QString target = *LinkAt(maker, {0, 1});
    EXPECT_TRUE(target.startsWith("mailto:"));
    EXPECT_TRUE(target.endsWith(".example.org"));
    const int phone = maker->document()->lastBlock().position();
    EXPECT_EQ(FormatAt(maker, phone).foreground().color(), QColor(0x0F, 0x0F, 0x0F));
    EXPECT_GE(FormatAt(maker, phone).fontWeight(), QFont::Bold);
}

TEST(Splash, FirstShowingClosesItselfAfterThreeSeconds) {
    int counter = 0;
    ManualTimer timer;
    CAboutDialog dialog(counter, VersionFont());
    dialog.SetTimerStarter(timer.Starter());
    dialog.show();
    ASSERT_EQ(timer.requested, std::vector<int>{3000});
    ASSERT_TRUE(dialog.isVisible());
    timer.fire();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(counter, CAboutDialog::ShownCounter);
}

TEST(Splash, DefaultTimerIsArmedForThreeSecondsOnTheFirstShowingOnly) {
    int counter = 0;
    CAboutDialog first(counter, VersionFont());
    first.show();
    auto* timer = first.findChild<QTimer*>("splashTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 3000);
    first.accept();

    CAboutDialog later(counter, VersionFont());
    later.show();
    EXPECT_EQ(later.findChild<QTimer*>("splashTimer"), nullptr);
}

TEST(Splash, TinyButtonKeepsTheBoxOpenUntilAccepted) {
    int counter = 0;
    ManualTimer timer;
    CAboutDialog dialog(counter, VersionFont());
    dialog.SetTimerStarter(timer.Starter());
    dialog.show();
    dialog.splashButton()->click();
    EXPECT_EQ(counter, 1);
    timer.fire();
    EXPECT_TRUE(dialog.isVisible());
    dialog.findChild<QPushButton*>("acceptButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(counter, CAboutDialog::ShownCounter);
}

TEST(Splash, NinthPressShowsTheCredits) {
    int counter = 0;
    ManualTimer timer;
    CAboutDialog dialog(counter, VersionFont());
    dialog.SetTimerStarter(timer.Starter());
    dialog.show();
    const QString maker = dialog.makerLine()->toPlainText();
    for (int press = 1; press <= 8; ++press) {
        dialog.splashButton()->click();
        ASSERT_EQ(dialog.makerLine()->toPlainText(), maker) << press;
    }
    dialog.splashButton()->click();
    const QString credits = dialog.makerLine()->toPlainText();
    EXPECT_NE(credits, maker);
    EXPECT_TRUE(credits.contains("Equipo"));
    EXPECT_EQ(dialog.makerLine()->document()->blockCount(), 2);
    // Further presses leave the credits alone.
    dialog.splashButton()->click();
    EXPECT_EQ(dialog.makerLine()->toPlainText(), credits);
    EXPECT_EQ(counter, 10);
}

TEST(Splash, LaterShowingsHaveNoTimerAndNoCredits) {
    int counter = 0;
    {
        ManualTimer timer;
        CAboutDialog dialog(counter, VersionFont());
        dialog.SetTimerStarter(timer.Starter());
        dialog.show();
        dialog.reject();
    }
    ASSERT_EQ(counter, CAboutDialog::ShownCounter);
    ManualTimer timer;
    CAboutDialog again(counter, VersionFont());
    again.SetTimerStarter(timer.Starter());
    again.show();
    EXPECT_TRUE(timer.requested.empty());
    const QString maker = again.makerLine()->toPlainText();
    for (int press = 0; press < 12; ++press) {
        again.splashButton()->click();
    }
    EXPECT_EQ(again.makerLine()->toPlainText(), maker);
    EXPECT_TRUE(again.isVisible());
}

TEST(Splash, TimerAfterAnEarlyCloseDoesNothing) {
    int counter = 0;
    ManualTimer timer;
    {
        CAboutDialog dialog(counter, VersionFont());
        dialog.SetTimerStarter(timer.Starter());
        dialog.show();
        dialog.accept();
    }
    ASSERT_TRUE(timer.fire);
    timer.fire();  // the box is gone: nothing to close, nothing to crash
    EXPECT_EQ(counter, CAboutDialog::ShownCounter);
}

}  // namespace
}  // namespace velmorin
