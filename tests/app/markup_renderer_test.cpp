#include "app/MarkupRenderer.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace velmorin {
namespace {

// Format of the character at `position` (the one right after that boundary).
QTextCharFormat FormatAt(const QTextEdit& edit, int position) {
    QTextCursor cursor(edit.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

bool IsBold(const QTextCharFormat& format) { return format.fontWeight() >= QFont::Bold; }

class MarkupRendering : public ::testing::Test {
protected:
    void SetUp() override {
        browser = std::make_unique<QTextBrowser>();
        ASSERT_TRUE(AttachMarkup(browser.get()));
    }
    QString Render(const QString& markup) {
        SetMarkupText(browser.get(), markup);
        return browser->toPlainText();
    }
    std::unique_ptr<QTextBrowser> browser;
};

TEST_F(MarkupRendering, FormatsApplyOnlyBetweenTheirTagsWhateverTheirCase) {
    ASSERT_EQ(Render("a<b>b</b>c"), "abc");
    EXPECT_FALSE(IsBold(FormatAt(*browser, 0)));
    EXPECT_TRUE(IsBold(FormatAt(*browser, 1)));
    EXPECT_FALSE(IsBold(FormatAt(*browser, 2)));

    ASSERT_EQ(Render("<B>x</B><I>y</I><U>z</U>w"), "xyzw");
    EXPECT_TRUE(IsBold(FormatAt(*browser, 0)));
    EXPECT_FALSE(IsBold(FormatAt(*browser, 1)));
    EXPECT_TRUE(FormatAt(*browser, 1).fontItalic());
    EXPECT_FALSE(FormatAt(*browser, 2).fontItalic());
    EXPECT_TRUE(FormatAt(*browser, 2).fontUnderline());
    EXPECT_FALSE(FormatAt(*browser, 3).fontUnderline());
}

TEST_F(MarkupRendering, BreakAndParagraphTagsStartNewLines) {
    EXPECT_EQ(Render("x<br>y"), "x\ny");
    EXPECT_EQ(browser->document()->blockCount(), 2);
    EXPECT_EQ(Render("x<P>y<bR>z"), "x\ny\nz");
    EXPECT_EQ(browser->document()->blockCount(), 3);
}

TEST_F(MarkupRendering, UnknownTagsVanishAndChangeNothing) {
    ASSERT_EQ(Render("a<unknown>b"), "ab");
    const QTextCharFormat first = FormatAt(*browser, 0);
    const QTextCharFormat second = FormatAt(*browser, 1);
    EXPECT_EQ(first, second);
    EXPECT_FALSE(IsBold(second));
    EXPECT_FALSE(second.hasProperty(QTextFormat::ForegroundBrush));
    // "<bold>" is not "<b>": only the exact tag start counts.
    ASSERT_EQ(Render("a<bold>b"), "ab");
    EXPECT_FALSE(IsBold(FormatAt(*browser, 1)));
}

TEST_F(MarkupRendering, TextEndingInsideATagShowsWhatCameBefore) {
    EXPECT_EQ(Render("a<b"), "a");
    EXPECT_EQ(Render("ab<font color=#ff0000"), "ab");
    // Nothing at all empties the control, links included.
    Render("<a href=\"t\">old</a>");
    EXPECT_EQ(Render(""), "");
    EXPECT_EQ(LinkAt(browser.get(), {0, 1}), std::nullopt);
}

TEST_F(MarkupRendering, NestedAngleBracketsCountTheirDepth) {
    // The run resumes only after the '>' that closes the outer tag.
    ASSERT_EQ(Render("a<x<i>y>c"), "ac");
    EXPECT_TRUE(FormatAt(*browser, 1).fontItalic());
    // A '>' outside any tag is ordinary text.
    EXPECT_EQ(Render("a>b"), "a>b");
}

TEST_F(MarkupRendering, FontColourSetsTextColourUntilTheFontCloses) {
    ASSERT_EQ(Render("<font color=\"#0F0F0F\">a</font>b<FONT size=2 COLOR=#12a4Ff>c"), "abc");
    EXPECT_EQ(FormatAt(*browser, 0).foreground().color(), QColor(0x0F, 0x0F, 0x0F));
    EXPECT_FALSE(FormatAt(*browser, 1).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatAt(*browser, 2).foreground().color(), QColor(0x12, 0xA4, 0xFF));
    // Colours that cannot be read change nothing.
    ASSERT_EQ(Render("<font color=red>a<font color=#12>b<font>c"), "abc");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(FormatAt(*browser, i).hasProperty(QTextFormat::ForegroundBrush)) << i;
    }
}

TEST_F(MarkupRendering, LinksAreBlueUnderlinedAndKnownByTheirRange) {
    ASSERT_EQ(Render("go <a href=\"https://velmorin.example.org/\">here</a> now"), "go here now");
    for (int i = 3; i < 7; ++i) {
        const QTextCharFormat format = FormatAt(*browser, i);
        EXPECT_TRUE(format.isAnchor()) << i;
        EXPECT_EQ(format.anchorHref(), "https://velmorin.example.org/");
        EXPECT_TRUE(format.fontUnderline());
        EXPECT_EQ(format.foreground().color(), LinkColour);
    }
    const QTextCharFormat after = FormatAt(*browser, 8);
    EXPECT_FALSE(after.isAnchor());
    EXPECT_FALSE(after.fontUnderline());
    EXPECT_FALSE(after.hasProperty(QTextFormat::ForegroundBrush));

    EXPECT_EQ(LinkAt(browser.get(), {3, 7}), QString("https://velmorin.example.org/"));
    EXPECT_EQ(LinkAt(browser.get(), {6, 6}), QString("https://velmorin.example.org/"));
    EXPECT_EQ(LinkAt(browser.get(), {0, 3}), std::nullopt);
    EXPECT_EQ(LinkAt(browser.get(), {7, 11}), std::nullopt);
}

TEST_F(MarkupRendering, LinkTargetsAreKeptPerLinkCutAndNeedTheirQuote) {
    ASSERT_EQ(Render("<a href=\"one\">1</a>-<A HREF=\"two\">2</a>"), "1-2");
    EXPECT_EQ(LinkAt(browser.get(), {0, 1}), QString("one"));
    EXPECT_EQ(LinkAt(browser.get(), {1, 2}), std::nullopt);
    EXPECT_EQ(LinkAt(browser.get(), {2, 3}), QString("two"));

    const QString target(400, QLatin1Char('t'));
    ASSERT_EQ(Render("<a href=\"" + target + "\">x</a>"), "x");
    EXPECT_EQ(LinkAt(browser.get(), {0, 1}), target.left(MaxLinkTarget));

    ASSERT_EQ(Render("<a href=plain>x</a>"), "x");
    EXPECT_FALSE(FormatAt(*browser, 0).isAnchor());
    EXPECT_EQ(LinkAt(browser.get(), {0, 1}), std::nullopt);
}

TEST_F(MarkupRendering, PressedLinkIsPurpleWithoutItsMarkAndComesBack) {
    ASSERT_EQ(Render("ab<a href=\"t\">link</a>cd"), "ablinkcd");
    const MarkupRange range{2, 6};
    QTextCursor selection(browser->document());
    selection.setPosition(0);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    browser->setTextCursor(selection);

    SetLinkPressed(browser.get(), range, true);
    for (int i = 2; i < 6; ++i) {
        EXPECT_EQ(FormatAt(*browser, i).foreground().color(), PressedLinkColour) << i;
        EXPECT_FALSE(FormatAt(*browser, i).isAnchor()) << i;
    }
    EXPECT_FALSE(FormatAt(*browser, 6).hasProperty(QTextFormat::ForegroundBrush));
    // The renderer still knows the target while the mark is gone.
    EXPECT_EQ(LinkAt(browser.get(), range), QString("t"));

    SetLinkPressed(browser.get(), range, false);
    for (int i = 2; i < 6; ++i) {
        EXPECT_EQ(FormatAt(*browser, i).foreground().color(), LinkColour) << i;
        EXPECT_TRUE(FormatAt(*browser, i).isAnchor()) << i;
        EXPECT_EQ(FormatAt(*browser, i).anchorHref(), "t");
    }
    EXPECT_EQ(browser->textCursor().anchor(), 0);
    EXPECT_EQ(browser->textCursor().position(), 4);

    // Outside a link there is nothing to press.
    SetLinkPressed(browser.get(), {0, 2}, true);
    EXPECT_FALSE(FormatAt(*browser, 0).hasProperty(QTextFormat::ForegroundBrush));
}

TEST(MarkupLevels, ChosenByTheControlClass) {
    QTextBrowser browser;
    QTextEdit edit;
    QPlainTextEdit plain;
    QLineEdit line;
    QLabel label;
    const std::pair<QWidget*, MarkupLevel> controls[] = {{&browser, MarkupLevel::Links},
                                                         {&edit, MarkupLevel::Formatting},
                                                         {&plain, MarkupLevel::PlainText},
                                                         {&line, MarkupLevel::PlainText},
                                                         {&label, MarkupLevel::None}};
    for (const auto& [control, level] : controls) {
        SCOPED_TRACE(control->metaObject()->className());
        EXPECT_EQ(AttachMarkup(control), level != MarkupLevel::None);
        EXPECT_EQ(MarkupLevelOf(control), level);
    }
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_TRUE(plain.isReadOnly());
    EXPECT_TRUE(line.isReadOnly());
}

TEST(MarkupLevels, RichTextWithoutLinksStillFormats) {
    QTextEdit edit;
    ASSERT_TRUE(AttachMarkup(&edit));
    SetMarkupText(&edit, "<b>x</b><a href=\"t\">y</a><font color=#010203>z");
    ASSERT_EQ(edit.toPlainText(), "xyz");
    EXPECT_TRUE(IsBold(FormatAt(edit, 0)));
    EXPECT_FALSE(FormatAt(edit, 1).isAnchor());
    EXPECT_FALSE(FormatAt(edit, 1).fontUnderline());
    EXPECT_EQ(FormatAt(edit, 2).foreground().color(), QColor(1, 2, 3));
    EXPECT_EQ(LinkAt(&edit, {1, 2}), std::nullopt);
    // Only the link-capable control gets the light grey background.
    EXPECT_NE(edit.palette().color(QPalette::Base), LinkBackground);
}

TEST(MarkupLevels, PlainControlsTakeTheTextOnly) {
    QPlainTextEdit plain;
    ASSERT_TRUE(AttachMarkup(&plain));
    SetMarkupText(&plain, "a<b>b</b>c<br><font color=#ff0000>d");
    EXPECT_EQ(plain.toPlainText(), "abc\nd");
    QTextCursor cursor(plain.document());
    cursor.setPosition(2);
    EXPECT_FALSE(IsBold(cursor.charFormat()));

    QLineEdit line;
    ASSERT_TRUE(AttachMarkup(&line));
    SetMarkupText(&line, "a<b>b</b>c<a href=\"t\">d</a>");
    EXPECT_EQ(line.text(), "abcd");
}

TEST(MarkupAttachment, LinkControlIsGreyAndDetachRestoresIt) {
    QTextBrowser browser;
    const QColor before = browser.palette().color(QPalette::Base);
    browser.setReadOnly(false);
    ASSERT_TRUE(AttachMarkup(&browser));
    EXPECT_EQ(browser.palette().color(QPalette::Base), LinkBackground);
    EXPECT_FALSE(browser.openLinks());
    EXPECT_TRUE(browser.isReadOnly());

    DetachMarkup(&browser);
    EXPECT_EQ(MarkupLevelOf(&browser), MarkupLevel::None);
    EXPECT_EQ(browser.palette().color(QPalette::Base), before);
    EXPECT_TRUE(browser.openLinks());
    EXPECT_FALSE(browser.isReadOnly());
    // Without a renderer the text is left alone.
    browser.setPlainText("kept");
    SetMarkupText(&browser, "<b>new</b>");
    EXPECT_EQ(browser.toPlainText(), "kept");
}

TEST(MarkupAttachment, RendererGoesWithItsControl) {
    auto browser = std::make_unique<QTextBrowser>();
    ASSERT_TRUE(AttachMarkup(browser.get()));
    QPointer<QObject> renderer = browser->findChild<MarkupRenderer*>();
    ASSERT_TRUE(renderer);
    browser.reset();
    EXPECT_TRUE(renderer.isNull());
}

// Clicks on a shown control, through real mouse events on its viewport.
class MarkupClicks : public ::testing::Test {
protected:
    void SetUp() override {
        browser.resize(400, 80);
        ASSERT_TRUE(AttachMarkup(&browser));
        SetLinkOpener(&browser, [this](const QString& target) {
            opened.push_back(target);
            // The link looks pressed while it is being opened.
            colourWhileOpening = FormatAt(browser, 6).foreground().color();
        });
        // Wide letters around and in the link, so that a quarter of a letter is
        // several pixels.
        SetMarkupText(&browser, "plainM<a href=\"file:///tmp/readme\">MWMW</a>M more");
        browser.show();
        QApplication::processEvents();
        connection = QObject::connect(&browser, &QTextBrowser::anchorClicked, [this] { ++anchorSignals; });
    }
    void TearDown() override { QObject::disconnect(connection); }

    // A point inside the character at `position`, `fraction` of its width
    // from its left edge, in viewport coordinates.
    QPoint PointOf(int position, double fraction = 0.5) {
        QTextCursor left(browser.document());
        left.setPosition(position);
        QTextCursor right(browser.document());
        right.setPosition(position + 1);
        const QRect a = browser.cursorRect(left);
        const QRect b = browser.cursorRect(right);
        return QPoint(a.x() + static_cast<int>((b.x() - a.x()) * fraction), a.center().y());
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(type, at, browser.viewport()->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(browser.viewport(), &event);
    }

    QTextBrowser browser;
    std::vector<QString> opened;
    QColor colourWhileOpening;
    int anchorSignals = 0;
    QMetaObject::Connection connection;
};

TEST_F(MarkupClicks, LeftPressOnALinkOpensItsTargetOnce) {
    const QPoint at = PointOf(7);
    Send(QEvent::MouseButtonPress, at);
    Send(QEvent::MouseButtonRelease, at);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "file:///tmp/readme");
    EXPECT_EQ(colourWhileOpening, PressedLinkColour);
    // Normal again afterwards, and the browser itself never saw the click.
    EXPECT_EQ(FormatAt(browser, 6).foreground().color(), LinkColour);
    EXPECT_TRUE(FormatAt(browser, 6).isAnchor());
    EXPECT_EQ(anchorSignals, 0);
}

TEST_F(MarkupClicks, TheCharacterUnderThePointDecides) {
    // Either half of the link's first and last characters is a hit ...
    Send(QEvent::MouseButtonPress, PointOf(6, 0.25));
    Send(QEvent::MouseButtonPress, PointOf(9, 0.75));
    EXPECT_EQ(opened.size(), 2u);
    // ... the near halves of the characters beside it are not.
    Send(QEvent::MouseButtonPress, PointOf(5, 0.75));
    Send(QEvent::MouseButtonPress, PointOf(10, 0.25));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(MarkupClicks, PlainTextOtherButtonsAndDoubleClicksOpenNothing) {
    Send(QEvent::MouseButtonPress, PointOf(1));
    Send(QEvent::MouseButtonRelease, PointOf(1));
    Send(QEvent::MouseButtonPress, PointOf(11));
    Send(QEvent::MouseButtonPress, PointOf(7), Qt::RightButton);
    Send(QEvent::MouseButtonDblClick, PointOf(7));
    Send(QEvent::MouseButtonRelease, PointOf(7));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(anchorSignals, 0);
    // The double click on the link selected nothing.
    EXPECT_FALSE(browser.textCursor().hasSelection());
}

}  // namespace
}  // namespace velmorin
