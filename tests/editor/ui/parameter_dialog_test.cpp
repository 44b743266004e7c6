// The parameter dialog's controls over its session: what moving between the
// two boxes checks, where the focus goes after a refusal, and what the
// buttons leave behind. The rules themselves are the session's, tested in
// the core; the end-to-end flow accepts through this dialog.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <memory>

#include "../../support/scripted_prompts.h"
#include "../../support/widget_input.h"
#include "editor/ui/ParameterDialog.h"

namespace velmorin {
namespace {

using testing::ClickRow;
using testing::ClickWidget;
using testing::TypeOver;

class ParameterDialogTest : public ::testing::Test {
protected:
    ParameterDialogTest() : model(std::make_unique<ProgramModel>()) { ResetModel(*model); }

    std::unique_ptr<ParameterDialog> Open(int kind, int element, CellPos cell) {
        ParameterRequest request;
        request.cell = cell;
        request.kind = kind;
        request.element = element;
        for (ParamSlot& slot : request.params) slot[0] = Unchosen;
        auto dialog = std::make_unique<ParameterDialog>(*model, request, prompts);
        return dialog;
    }

    static std::string Alias(const ProgramModel& model, int index) {
        return FieldText(model.aliases[static_cast<size_t>(index)].alias);
    }

    std::unique_ptr<ProgramModel> model;
    testing::ScriptedPrompts prompts;
};

TEST_F(ParameterDialogTest, MovingBetweenTheBoxesChecksTheOtherAndCancelPutsTheAliasesBack) {
    SetFieldText(model->aliases[0].alias, "marcha");
    const std::string timerAlias = Alias(*model, 87);
    auto dialog = Open(KindBoxTwoSided, ElementTp, {4, 1});
    ASSERT_TRUE(dialog->Start());
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Edición de parámetros"));
    EXPECT_EQ(dialog->instructionList()->currentText(), "tp");
    EXPECT_EQ(dialog->caption(0)->text(), "Variable");
    EXPECT_EQ(dialog->caption(1)->text(), "Tiempo");
    EXPECT_EQ(dialog->choiceList()->headerItem()->text(0), "Memoria");
    EXPECT_EQ(dialog->edit(0)->maxLength(), 8);

    // The second timer, renamed to an alias the first input has in other letters.
    ClickRow(dialog->choiceList(), 1);
    EXPECT_EQ(dialog->areaLine()->text(), "Salida de temporizadores fijos");
    TypeOver(dialog->edit(0), "MARCHA");
    ClickWidget(dialog->edit(1));
    EXPECT_EQ(prompts.messages, (std::vector<std::string>{"Variable duplicada"}));
    EXPECT_EQ(QApplication::focusWidget(), dialog->edit(0));
    EXPECT_EQ(Alias(*model, 87), timerAlias);

    // A free name passes and is live in the table; the list turns to the time.
    TypeOver(dialog->edit(0), "horno");
    ClickWidget(dialog->edit(1));
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), dialog->edit(1));
    EXPECT_EQ(Alias(*model, 87), "horno");
    EXPECT_FALSE(dialog->choiceList()->isEnabled());

    // Two decimals for a time in tenths: refused on accept, the focus on the time.
    TypeOver(dialog->edit(1), "1.55");
    ClickWidget(dialog->acceptButton());
    EXPECT_EQ(prompts.messages.back(), QString::fromUtf8("Edición de datos inválido").toStdString());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog->edit(1));

    ClickWidget(dialog->cancelButton());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(dialog->outcome().accepted);
    EXPECT_EQ(Alias(*model, 87), timerAlias);
}

}  // namespace
}  // namespace velmorin
