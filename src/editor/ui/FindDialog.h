#pragma once
// "Buscar": a small window beside the diagram that asks for the word and
// steps the cursor through the cells it names. It stays open while the user
// works, so the next match is one key away; the matching is the core's.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmorin {

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* previousButton() const { return previous_; }
    QString word() const;
    // Shown again with the word selected, so that typing replaces it.
    void Ask();

signals:
    void findRequested(const QString& word, bool forward);

private:
    void Request(bool forward);

    QLineEdit* edit_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* previous_ = nullptr;
};

}  // namespace velmorin
