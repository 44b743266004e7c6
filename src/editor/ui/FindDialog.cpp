#include "editor/ui/FindDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace velmorin {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("Buscar"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("findWord"));
    edit_->setToolTip(QString::fromUtf8("Memoria (E1, S3, V12...), alias, etiqueta o instrucción"));
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);

    next_ = new QPushButton(QStringLiteral("&Siguiente"), this);
    next_->setObjectName(QStringLiteral("findNext"));
    next_->setDefault(true);
    previous_ = new QPushButton(QStringLiteral("&Anterior"), this);
    previous_->setObjectName(QStringLiteral("findPrevious"));
    auto* close = new QPushButton(QStringLiteral("Cerrar"), this);
    auto* buttons = new QDialogButtonBox(Qt::Horizontal, this);
    buttons->addButton(next_, QDialogButtonBox::ActionRole);
    buttons->addButton(previous_, QDialogButtonBox::ActionRole);
    buttons->addButton(close, QDialogButtonBox::RejectRole);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Buscar:"), edit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(next_, &QPushButton::clicked, this, [this] { Request(true); });
    connect(previous_, &QPushButton::clicked, this, [this] { Request(false); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The frame's F3 does not reach a window of its own: the same keys here.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this, [this] { Request(true); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
            [this] { Request(false); });
}

QString FindDialog::word() const { return edit_->text(); }

void FindDialog::Ask() {
    show();
    raise();
    activateWindow();
    edit_->setFocus();
    edit_->selectAll();
}

void FindDialog::Request(bool forward) {
    if (edit_->text().trimmed().isEmpty()) return;
    emit findRequested(edit_->text(), forward);
}

}  // namespace velmorin
