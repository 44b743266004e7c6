#pragma once
// "Temas de ayuda": a short guide to the commands, the keys and the road from
// a drawn diagram to a running controller. It is non-modal, so the user can
// keep it beside the editor.
#include <QDialog>
#include <QString>

class QTextBrowser;

namespace velmorin {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    static QString HelpHtml();
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace velmorin
