#pragma once
// "Edición de parámetros": which instruction an element cell holds and its
// operands. Every rule is ParameterSession's; the dialog forwards the user's
// choices, texts and focus changes there and shows what the session reports.
// Alias and label renames are live in the program's tables while the box is
// open and go back when it closes in any way other than "Aceptar".
#include <QDialog>
#include <QRect>

#include "editor/parameter_session.h"
#include "model/prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace velmorin {

class ParameterDialog : public QDialog {
    Q_OBJECT
public:
    ParameterDialog(ProgramModel& model, const ParameterRequest& request, Prompts& prompts, QWidget* parent = nullptr);
    ~ParameterDialog() override;

    // Shows the cell's instruction. False when the box has closed as
    // cancelled before showing (no instruction of the cell has a jump target
    // left; the message has been shown).
    bool Start();
    // What the box came to: not accepted unless "Aceptar" went through.
    ParameterResult outcome() const { return session_.result(); }

    QComboBox* instructionList() const { return instructions_; }                        // 1005
    QLabel* descriptionLine() const { return description_; }                            // 1023
    QLabel* areaLine() const { return areaLine_; }                                      // 1000
    QTreeWidget* choiceList() const { return list_; }                                   // 1001
    QLabel* caption(int parameter) const { return captions_[parameter == 1 ? 1 : 0]; }  // 1021, 1022
    QLineEdit* edit(int parameter) const { return edits_[parameter == 1 ? 1 : 0]; }     // 1002, 1004
    QPushButton* acceptButton() const { return accept_; }                               // 1
    QPushButton* cancelButton() const { return cancel_; }                               // 2

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The edit boxes' texts into the session, before the session decides anything.
    void TakeTexts();
    // The session's state into the controls.
    void Show();
    void FocusEdit(int parameter);
    void OnInstructionChosen(int position);
    void OnRowChosen(int row);
    void OnAccept();

    ParameterSession session_;
    Prompts& prompts_;
    // The controls are being filled: their signals are not the user's.
    bool showing_ = false;

    QComboBox* instructions_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* areaLine_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QLabel* captions_[2] = {nullptr, nullptr};
    QLineEdit* edits_[2] = {nullptr, nullptr};
    QPushButton* accept_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Runs the box modally for the clicked cell, beside the cell's place on the
// screen when one is given, and returns what it came to.
ParameterResult RunParameterDialog(QWidget* parent, ProgramModel& model, const ParameterRequest& request,
                                   Prompts& prompts, const QRect& cellOnScreen = QRect());

}  // namespace velmorin
