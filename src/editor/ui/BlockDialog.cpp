#include "editor/ui/BlockDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DialogUnits.h"

namespace velmorin {

BlockDialog::BlockDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Bloque"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    const auto add = [&](const char* text, int id) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setObjectName(QString::number(id));
        button->setAutoDefault(false);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, id] { done(id); });
        return button;
    };
    cut_ = add("Cortar", CutId);
    copy_ = add("Copiar", CopyId);
    cancel_ = add("Cancelar", CancelId);
    cancel_->setDefault(true);
    setMinimumSize(DialogUnitsToPixels(font(), 39, 74));
}

QPushButton* BlockDialog::button(BlockChoice choice) const {
    switch (choice) {
        case BlockChoice::Cut:
            return cut_;
        case BlockChoice::Copy:
            return copy_;
        case BlockChoice::Cancel:
            break;
    }
    return cancel_;
}

BlockChoice BlockDialog::choice() const {
    switch (result()) {
        case CutId:
            return BlockChoice::Cut;
        case CopyId:
            return BlockChoice::Copy;
        default:
            return BlockChoice::Cancel;
    }
}

BlockChoice RunBlockDialog(QWidget* parent) {
    BlockDialog dialog(parent);
    dialog.exec();
    return dialog.choice();
}

}  // namespace velmorin
