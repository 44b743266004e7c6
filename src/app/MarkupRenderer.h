#pragma once
// A small mark-up renderer for the about box's maker line: a tag subset of
// bold, italic, underline, colour, links and line breaks, rendered onto an
// ordinary text widget. The renderer lives as a child of the control it is
// attached to, so it detaches and frees its link targets when the control
// goes away.
#include <QColor>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QTextCharFormat>

#include <functional>
#include <optional>
#include <vector>

class QWidget;
class QTextEdit;

namespace velmorin {

// What a control can show, decided by its class when the renderer attaches:
// single-line and plain-text editors take the text only, a QTextEdit adds
// bold, italic, underline and colour, a QTextBrowser adds links.
enum class MarkupLevel { None, PlainText, Formatting, Links };

// A range of character positions in the control's text: [start, end).
struct MarkupRange {
    int start = 0;
    int end = 0;
};

// Opens a link target; the default asks the desktop's default handler.
using LinkOpener = std::function<void(const QString& target)>;

inline const QColor LinkColour{1, 1, 255};
inline const QColor PressedLinkColour{128, 0, 128};
inline const QColor LinkBackground{240, 240, 240};
constexpr int MaxLinkTarget = 299;

// Attaches a renderer to `control` (a QLineEdit, QPlainTextEdit, QTextEdit or
// QTextBrowser). Returns false for any other widget. Attaching twice keeps
// the first renderer.
bool AttachMarkup(QWidget* control);
// Restores what the control was before AttachMarkup and drops the renderer.
void DetachMarkup(QWidget* control);
MarkupLevel MarkupLevelOf(const QWidget* control);
// Replaces the control's contents with the rendering of `text`.
void SetMarkupText(QWidget* control, const QString& text);
// The target of the link lying under `range`, or nothing.
std::optional<QString> LinkAt(const QWidget* control, MarkupRange range);
// Shows the link under `range` pressed (purple, no link mark) or normal again
// (blue, link mark restored). The user's selection is kept.
void SetLinkPressed(QWidget* control, MarkupRange range, bool pressed);
// Replaces the way a clicked link is opened (tests record instead of
// starting a browser).
void SetLinkOpener(QWidget* control, LinkOpener opener);

class MarkupRenderer : public QObject {
    Q_OBJECT
public:
    struct Link {
        MarkupRange range;
        QString target;
    };
    // What a recognised tag does to the text that follows.
    enum class TagAction {
        LineBreak,
        Bold,
        EndBold,
        Underline,
        EndUnderline,
        Italic,
        EndItalic,
        Colour,
        EndColour,
        Link,
        EndLink,
    };

    MarkupRenderer(QWidget* control, MarkupLevel level);
    ~MarkupRenderer() override;

    MarkupLevel level() const { return level_; }
    const std::vector<Link>& links() const { return links_; }

    void Render(const QString& text);
    const Link* LinkUnder(MarkupRange range) const;
    void SetPressed(MarkupRange range, bool pressed);
    void SetOpener(LinkOpener opener) { opener_ = std::move(opener); }
    // Puts the control back the way it was found.
    void Restore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AppendRun(const QString& run);
    void AppendLineBreak();
    void ApplyTag(TagAction action, const QString& text, qsizetype at);
    // Only for the text controls: where the next character goes, and the
    // open link, if any, ended there.
    int EndPosition() const;
    void CloseLink();
    int CharacterAt(const QPoint& viewportPoint) const;

    QWidget* control_;
    QTextEdit* textEdit_ = nullptr;  // null for the plain-text levels
    MarkupLevel level_;
    QTextCharFormat format_;
    std::vector<Link> links_;
    int linkStart_ = -1;  // position where the open link began
    QString linkTarget_;
    LinkOpener opener_;

    // What the control was before attaching.
    bool wasReadOnly_ = false;
    QPalette oldPalette_;
    bool oldOpenLinks_ = true;
    bool oldOpenExternalLinks_ = false;
    bool restored_ = false;
};

}  // namespace velmorin
