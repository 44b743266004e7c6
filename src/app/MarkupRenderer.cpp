#include "app/MarkupRenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

namespace velmorin {

namespace {

MarkupRenderer* RendererOf(const QWidget* control) {
    if (!control) {
        return nullptr;
    }
    return control->findChild<MarkupRenderer*>(QString(), Qt::FindDirectChildrenOnly);
}

MarkupLevel LevelForClass(QWidget* control) {
    if (qobject_cast<QTextBrowser*>(control)) {
        return MarkupLevel::Links;
    }
    if (qobject_cast<QTextEdit*>(control)) {
        return MarkupLevel::Formatting;
    }
    if (qobject_cast<QPlainTextEdit*>(control) || qobject_cast<QLineEdit*>(control)) {
        return MarkupLevel::PlainText;
    }
    return MarkupLevel::None;
}

bool StartsWithTag(const QString& text, qsizetype at, QLatin1StringView tag) {
    return QStringView(text).mid(at, tag.size()).compare(tag, Qt::CaseInsensitive) == 0;
}

// End of the tag that begins at `at`: the next '>' or the end of the text.
qsizetype TagEnd(const QString& text, qsizetype at) {
    const qsizetype close = text.indexOf(QLatin1Char('>'), at);
    return close < 0 ? text.size() : close;
}

// The colour of a "<font ... color=#RRGGBB>" tag, if it has a readable one.
std::optional<QColor> FontTagColour(const QString& text, qsizetype at) {
    const qsizetype end = TagEnd(text, at);
    const QStringView tag = QStringView(text).mid(at, end - at);
    qsizetype p = tag.indexOf(QLatin1StringView("color="), 0, Qt::CaseInsensitive);
    if (p < 0) {
        return std::nullopt;
    }
    p += 6;
    if (p < tag.size() && (tag[p] == QLatin1Char('"') || tag[p] == QLatin1Char('\''))) {
        ++p;
    }
    if (p >= tag.size() || tag[p] != QLatin1Char('#')) {
        return std::nullopt;
    }
    ++p;
    if (p + 6 > tag.size()) {
        return std::nullopt;
    }
    bool ok = false;
    const uint rgb = tag.mid(p, 6).toUInt(&ok, 16);
    if (!ok) {
        return std::nullopt;
    }
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The target of an "<a href="...">" tag: everything up to the next double
// quote, cut to the longest target the renderer keeps.
std::optional<QString> LinkTagTarget(const QString& text, qsizetype at) {
    static constexpr QLatin1StringView start("<a href=\"");
    if (!StartsWithTag(text, at, start)) {
        return std::nullopt;
    }
    const qsizetype from = at + start.size();
    qsizetype to = text.indexOf(QLatin1Char('"'), from);
    if (to < 0) {
        to = text.size();
    }
    return text.mid(from, std::min<qsizetype>(to - from, MaxLinkTarget));
}

// The tags the renderer knows, by their start (case aside), each with the
// least the control must show for it to act. Earlier rows win.
struct TagDef {
    QLatin1StringView start;
    MarkupLevel needs;
    MarkupRenderer::TagAction action;
};

using Tag = MarkupRenderer::TagAction;
constexpr TagDef Tags[] = {
    {QLatin1StringView("<br>"), MarkupLevel::PlainText, Tag::LineBreak},
    {QLatin1StringView("<p>"), MarkupLevel::PlainText, Tag::LineBreak},
    {QLatin1StringView("<b>"), MarkupLevel::Formatting, Tag::Bold},
    {QLatin1StringView("</b>"), MarkupLevel::Formatting, Tag::EndBold},
    {QLatin1StringView("<u>"), MarkupLevel::Formatting, Tag::Underline},
    {QLatin1StringView("</u>"), MarkupLevel::Formatting, Tag::EndUnderline},
    {QLatin1StringView("<i>"), MarkupLevel::Formatting, Tag::Italic},
    {QLatin1StringView("</i>"), MarkupLevel::Formatting, Tag::EndItalic},
    {QLatin1StringView("<font"), MarkupLevel::Formatting, Tag::Colour},
    {QLatin1StringView("</font>"), MarkupLevel::Formatting, Tag::EndColour},
    {QLatin1StringView("<a href=\""), MarkupLevel::Links, Tag::Link},
    {QLatin1StringView("</a>"), MarkupLevel::Links, Tag::EndLink},
};

const TagDef* TagAt(const QString& text, qsizetype at) {
    for (const TagDef& tag : Tags) {
        if (StartsWithTag(text, at, tag.start)) {
            return &tag;
        }
    }
    return nullptr;
}

bool RangesMeet(MarkupRange probe, MarkupRange link) {
    if (probe.end <= probe.start) {
        return probe.start >= link.start && probe.start < link.end;
    }
    return probe.start < link.end && link.start < probe.end;
}

}  // namespace

MarkupRenderer::MarkupRenderer(QWidget* control, MarkupLevel level)
    : QObject(control), control_(control), level_(level) {
    opener_ = [](const QString& target) { QDesktopServices::openUrl(QUrl::fromUserInput(target)); };
    if (level_ == MarkupLevel::Formatting || level_ == MarkupLevel::Links) {
        textEdit_ = qobject_cast<QTextEdit*>(control);
        wasReadOnly_ = textEdit_->isReadOnly();
        textEdit_->setReadOnly(true);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        wasReadOnly_ = plain->isReadOnly();
        plain->setReadOnly(true);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        wasReadOnly_ = line->isReadOnly();
        line->setReadOnly(true);
    }
    if (level_ == MarkupLevel::Links) {
        auto* browser = qobject_cast<QTextBrowser*>(control);
        oldPalette_ = browser->palette();
        oldOpenLinks_ = browser->openLinks();
        oldOpenExternalLinks_ = browser->openExternalLinks();
        // Clicks are ours: the browser must not navigate by itself.
        browser->setOpenLinks(false);
        browser->setOpenExternalLinks(false);
        QPalette palette = browser->palette();
        palette.setColor(QPalette::Base, LinkBackground);
        browser->setPalette(palette);
        browser->viewport()->installEventFilter(this);
    }
}

MarkupRenderer::~MarkupRenderer() = default;

void MarkupRenderer::Restore() {
    if (restored_) {
        return;
    }
    restored_ = true;
    if (textEdit_) {
        textEdit_->setReadOnly(wasReadOnly_);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control_)) {
        plain->setReadOnly(wasReadOnly_);
    } else if (auto* line = qobject_cast<QLineEdit*>(control_)) {
        line->setReadOnly(wasReadOnly_);
    }
    if (level_ == MarkupLevel::Links) {
        auto* browser = qobject_cast<QTextBrowser*>(control_);
        browser->viewport()->removeEventFilter(this);
        browser->setPalette(oldPalette_);
        browser->setOpenLinks(oldOpenLinks_);
        browser->setOpenExternalLinks(oldOpenExternalLinks_);
    }
    links_.clear();
}

void MarkupRenderer::AppendRun(const QString& run) {
    if (run.isEmpty()) {
        return;
    }
    if (textEdit_) {
        QTextCursor cursor(textEdit_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(run, format_);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control_)) {
        QTextCursor cursor(plain->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(run, QTextCharFormat());
    } else if (auto* line = qobject_cast<QLineEdit*>(control_)) {
        line->setText(line->text() + run);
    }
}

void MarkupRenderer::AppendLineBreak() {
    if (textEdit_) {
        QTextCursor cursor(textEdit_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock(QTextBlockFormat(), format_);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control_)) {
        QTextCursor cursor(plain->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertBlock();
    } else if (auto* line = qobject_cast<QLineEdit*>(control_)) {
        // A single-line control cannot break; keep the words apart.
        line->setText(line->text() + QLatin1Char(' '));
    }
}

void MarkupRenderer::Render(const QString& text) {
    // 1. Empty the control.
    format_ = QTextCharFormat();
    links_.clear();
    linkStart_ = -1;
    linkTarget_.clear();
    if (textEdit_) {
        textEdit_->clear();
        // clear() keeps the format of the last character; start plain.
        textEdit_->setCurrentCharFormat(QTextCharFormat());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control_)) {
        plain->clear();
    } else if (auto* line = qobject_cast<QLineEdit*>(control_)) {
        line->clear();
    }
    if (text.isEmpty()) {
        return;
    }

    // 2. Scan, keeping the tag depth and the start of the pending plain run.
    int depth = 0;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('<')) {
            // 3. Flush the pending run, then act on the tag by its start.
            if (depth == 0 && i > runStart) {
                AppendRun(text.mid(runStart, i - runStart));
            }
            ++depth;
            const TagDef* tag = TagAt(text, i);
            // A tag the control cannot show, and any other tag, change nothing.
            if (tag && level_ >= tag->needs) {
                ApplyTag(tag->action, text, i);
            }
        } else if (c == QLatin1Char('>') && depth > 0) {
            // 4. Leaving a tag; back at depth 0 the next run starts here.
            --depth;
            if (depth == 0) {
                runStart = i + 1;
            }
        }
    }
    // 5. A text that ends inside a tag shows only what came before it.
    if (depth == 0 && runStart < text.size()) {
        AppendRun(text.mid(runStart));
    }
    if (textEdit_) {
        CloseLink();
    }
}

int MarkupRenderer::EndPosition() const {
    QTextCursor cursor(textEdit_->document());
    cursor.movePosition(QTextCursor::End);
    return cursor.position();
}

void MarkupRenderer::CloseLink() {
    if (linkStart_ >= 0) {
        links_.push_back({{linkStart_, EndPosition()}, linkTarget_});
        linkStart_ = -1;
        linkTarget_.clear();
    }
}

void MarkupRenderer::ApplyTag(TagAction action, const QString& text, qsizetype at) {
    switch (action) {
        case TagAction::LineBreak:
            AppendLineBreak();
            break;
        case TagAction::Bold:
            format_.setFontWeight(QFont::Bold);
            break;
        case TagAction::EndBold:
            format_.setFontWeight(QFont::Normal);
            break;
        case TagAction::Underline:
            format_.setFontUnderline(true);
            break;
        case TagAction::EndUnderline:
            format_.setFontUnderline(false);
            break;
        case TagAction::Italic:
            format_.setFontItalic(true);
            break;
        case TagAction::EndItalic:
            format_.setFontItalic(false);
            break;
        case TagAction::Colour:
            if (const auto colour = FontTagColour(text, at)) {
                format_.setForeground(*colour);
            }
            break;
        case TagAction::EndColour:
            format_.clearForeground();
            break;
        case TagAction::Link:
            if (const auto target = LinkTagTarget(text, at)) {
                CloseLink();
                linkStart_ = EndPosition();
                linkTarget_ = *target;
                format_.setAnchor(true);
                format_.setAnchorHref(*target);
                format_.setFontUnderline(true);
                format_.setForeground(LinkColour);
            }
            break;
        case TagAction::EndLink:
            CloseLink();
            format_.clearForeground();
            format_.setFontUnderline(false);
            format_.setAnchor(false);
            format_.clearProperty(QTextFormat::AnchorHref);
            break;
    }
}

const MarkupRenderer::Link* MarkupRenderer::LinkUnder(MarkupRange range) const {
    for (const Link& link : links_) {
        if (RangesMeet(range, link.range)) {
            return &link;
        }
    }
    return nullptr;
}

void MarkupRenderer::SetPressed(MarkupRange range, bool pressed) {
    const Link* link = LinkUnder(range);
    if (!link || !textEdit_) {
        return;
    }
    const QString target = link->target;
    const QTextCursor userCursor = textEdit_->textCursor();
    // The change goes through a cursor of its own: the user's selection is
    // neither used nor shown while the range is reformatted.
    QTextCursor cursor(textEdit_->document());
    cursor.setPosition(range.start);
    cursor.setPosition(std::max(range.start, range.end), QTextCursor::KeepAnchor);
    QTextCharFormat change;
    if (pressed) {
        change.setForeground(PressedLinkColour);
        change.setAnchor(false);
        change.setAnchorHref(QString());
    } else {
        change.setForeground(LinkColour);
        change.setAnchor(true);
        change.setAnchorHref(target);
    }
    cursor.mergeCharFormat(change);
    const QTextCursor now = textEdit_->textCursor();
    if (now.anchor() != userCursor.anchor() || now.position() != userCursor.position()) {
        textEdit_->setTextCursor(userCursor);
    }
}

int MarkupRenderer::CharacterAt(const QPoint& viewportPoint) const {
    const QPoint documentPoint =
        viewportPoint + QPoint(textEdit_->horizontalScrollBar()->value(), textEdit_->verticalScrollBar()->value());
    // An exact hit names the character under the point, -1 off the text.
    return textEdit_->document()->documentLayout()->hitTest(documentPoint, Qt::ExactHit);
}

bool MarkupRenderer::eventFilter(QObject* watched, QEvent* event) {
    if (level_ != MarkupLevel::Links || !textEdit_ || watched != textEdit_->viewport()) {
        return QObject::eventFilter(watched, event);
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick) {
        return QObject::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    const int character = CharacterAt(mouse->position().toPoint());
    const Link* link = character >= 0 ? LinkUnder({character, character + 1}) : nullptr;
    if (!link) {
        return QObject::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        const MarkupRange range = link->range;
        const QString target = link->target;
        SetPressed(range, true);
        textEdit_->viewport()->repaint();
        if (opener_) {
            opener_(target);
        }
        SetPressed(range, false);
    }
    // Presses, releases and double clicks on a link are ours alone.
    return true;
}

bool AttachMarkup(QWidget* control) {
    if (!control) {
        return false;
    }
    if (RendererOf(control)) {
        return true;
    }
    const MarkupLevel level = LevelForClass(control);
    if (level == MarkupLevel::None) {
        return false;
    }
    new MarkupRenderer(control, level);
    return true;
}

void DetachMarkup(QWidget* control) {
    if (MarkupRenderer* renderer = RendererOf(control)) {
        renderer->Restore();
        delete renderer;
    }
}

MarkupLevel MarkupLevelOf(const QWidget* control) {
    const MarkupRenderer* renderer = RendererOf(control);
    return renderer ? renderer->level() : MarkupLevel::None;
}

void SetMarkupText(QWidget* control, const QString& text) {
    if (MarkupRenderer* renderer = RendererOf(control)) {
        renderer->Render(text);
    }
}

std::optional<QString> LinkAt(const QWidget* control, MarkupRange range) {
    const MarkupRenderer* renderer = RendererOf(control);
    if (!renderer) {
        return std::nullopt;
    }
    if (const MarkupRenderer::Link* link = renderer->LinkUnder(range)) {
        return link->target;
    }
    return std::nullopt;
}

void SetLinkPressed(QWidget* control, MarkupRange range, bool pressed) {
    if (MarkupRenderer* renderer = RendererOf(control)) {
        renderer->SetPressed(range, pressed);
    }
}

void SetLinkOpener(QWidget* control, LinkOpener opener) {
    if (MarkupRenderer* renderer = RendererOf(control)) {
        renderer->SetOpener(std::move(opener));
    }
}

}  // namespace velmorin
