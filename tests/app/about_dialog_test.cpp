#include "app/AboutDialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "app/CVelmorinApp.h"
#include "app/MarkupRenderer.h"
#include "ui/DialogUnits.h"
#include "ui/Fonts.h"

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
};

// A box shown with the manual timer in place of the real one.
std::unique_ptr<AboutDialog> ShowSplash(int counter, ManualTimer& timer) {
    auto dialog = std::make_unique<AboutDialog>(counter, VersionFont());
    dialog->SetTimerStarter([&timer](int milliseconds, std::function<void()> callback) {
        timer.requested.push_back(milliseconds);
        timer.fire = std::move(callback);
    });
    dialog->show();
    return dialog;
}

TEST(AboutBox, ShowsNameVersionPurposeAndModel) {
    const QFont font = VersionFont();
    AboutDialog dialog(AboutDialog::ShownCounter, font);
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

    const auto* accept = dialog.findChild<QPushButton*>("acceptButton");
    ASSERT_NE(accept, nullptr);
    EXPECT_EQ(accept->text(), "Aceptar");

    QPushButton* tiny = dialog.splashButton();
    ASSERT_NE(tiny, nullptr);
    EXPECT_TRUE(tiny->text().isEmpty());
    EXPECT_TRUE(tiny->isFlat());
    EXPECT_LT(tiny->maximumWidth(), 20);
    EXPECT_LT(tiny->maximumHeight(), 20);
}

// 201 x 98 dialog units: a quarter of the average character width across,
// an eighth of the character height down, so about two to one on any font.
TEST(AboutBox, DialogUnitsKeepTheBoxProportions) {
    for (const int pixels : {11, 13, 20}) {
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(pixels);
        const QFontMetrics metrics(font);
        const QSize size = AboutDialog::DialogSize(font);
        EXPECT_NEAR(size.height(), 98.0 * metrics.height() / 8, 1.0) << pixels;
        const double aspect = double(size.width()) / size.height();
        EXPECT_GT(aspect, 1.5) << pixels;
        EXPECT_LT(aspect, 2.6) << pixels;
        EXPECT_NEAR(DialogUnitsToPixels(font, 6, 6).height(), 6.0 * metrics.height() / 8, 1.0) << pixels;
    }
    // With the application's own version font the box keeps its height and
    // widens only as far as its texts need.
    AboutDialog dialog(AboutDialog::ShownCounter, MakeFont(FontTable[4], 96, 96));
    dialog.show();
    const QSize box = AboutDialog::DialogSize(dialog.font());
    EXPECT_EQ(dialog.height(), box.height());
    EXPECT_GE(dialog.width(), box.width());
    EXPECT_LT(double(dialog.width()) / dialog.height(), 2.3);
    EXPECT_EQ(dialog.splashButton()->size(), DialogUnitsToPixels(dialog.font(), 6, 6));
}

TEST(AboutBox, MakerLineIsDarkGreyBoldWithALinkToTheDocumentation) {
    AboutDialog dialog(AboutDialog::ShownCounter, VersionFont());
    QTextBrowser* maker = dialog.makerLine();
    ASSERT_EQ(MarkupLevelOf(maker), MarkupLevel::Links);
    const QString text = maker->toPlainText();
    EXPECT_TRUE(text.contains("2001"));
    const int at = static_cast<int>(text.indexOf("Proyecto Velmorin"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(FormatAt(maker, 0).foreground().color(), QColor(0x0F, 0x0F, 0x0F));
    EXPECT_GE(FormatAt(maker, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(LinkAt(maker, {at, at + 1}), AboutDialog::DocumentationTarget());
    EXPECT_LE(AboutDialog::DocumentationTarget().size(), MaxLinkTarget);
    EXPECT_EQ(maker->document()->blockCount(), 1);
}

TEST(Splash, FirstShowingClosesItselfAfterThreeSeconds) {
    ManualTimer timer;
    auto dialog = ShowSplash(0, timer);
    ASSERT_EQ(timer.requested, std::vector<int>{3000});
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->splashCounter(), 0);
    timer.fire();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->splashCounter(), AboutDialog::ShownCounter);
}

TEST(Splash, DefaultTimerIsASingleShotOfThreeSeconds) {
    AboutDialog dialog(0, VersionFont());
    dialog.show();
    auto* timer = dialog.findChild<QTimer*>("splashTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 3000);
}

TEST(Splash, TinyButtonKeepsTheBoxOpenUntilAccepted) {
    ManualTimer timer;
    auto dialog = ShowSplash(0, timer);
    dialog->splashButton()->click();
    EXPECT_EQ(dialog->splashCounter(), 1);
    timer.fire();
    EXPECT_TRUE(dialog->isVisible());
    dialog->findChild<QPushButton*>("acceptButton")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->splashCounter(), AboutDialog::ShownCounter);
}

TEST(Splash, NinthPressShowsTheCreditsInTheMakerColour) {
    ManualTimer timer;
    auto dialog = ShowSplash(0, timer);
    QTextBrowser* line = dialog->makerLine();
    const QString maker = line->toPlainText();
    for (int press = 1; press <= 8; ++press) {
        dialog->splashButton()->click();
        ASSERT_EQ(line->toPlainText(), maker) << press;
    }
    dialog->splashButton()->click();
    const QString credits = line->toPlainText();
    EXPECT_TRUE(credits.contains("Equipo"));
    ASSERT_EQ(line->document()->blockCount(), 2);
    const QString target = LinkAt(line, {0, 1}).value_or(QString());
    EXPECT_TRUE(target.startsWith("mailto:"));
    EXPECT_TRUE(target.endsWith(".example.org"));
    // The telephone line keeps the maker's dark grey bold.
    const int phone = line->document()->lastBlock().position();
    EXPECT_EQ(FormatAt(line, phone).foreground().color(), QColor(0x0F, 0x0F, 0x0F));
    EXPECT_GE(FormatAt(line, phone).fontWeight(), QFont::Bold);
    // Further presses leave the credits alone.
    dialog->splashButton()->click();
    EXPECT_EQ(line->toPlainText(), credits);
    EXPECT_EQ(dialog->splashCounter(), 10);
}

TEST(Splash, LaterShowingsHaveNoTimerAndNoCredits) {
    ManualTimer first;
    auto splash = ShowSplash(0, first);
    splash->reject();
    const int counter = splash->splashCounter();
    ASSERT_EQ(counter, AboutDialog::ShownCounter);
    ManualTimer timer;
    auto again = ShowSplash(counter, timer);
    EXPECT_TRUE(timer.requested.empty());
    const QString maker = again->makerLine()->toPlainText();
    for (int press = 0; press < 12; ++press) again->splashButton()->click();
    EXPECT_EQ(again->makerLine()->toPlainText(), maker);
    EXPECT_TRUE(again->isVisible());
}

TEST(Splash, TimerAfterAnEarlyCloseDoesNothing) {
    ManualTimer timer;
    ShowSplash(0, timer)->accept();
    ASSERT_TRUE(timer.fire);
    timer.fire();  // the box is gone: nothing to close, nothing to crash
}

}  // namespace
}  // namespace velmorin
