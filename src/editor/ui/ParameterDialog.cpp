#include "editor/ui/ParameterDialog.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "model/catalogue.h"
#include "ui/DialogUnits.h"
#include "ui/MoveBeside.h"

namespace velmorin {

namespace {

constexpr int EditLength = 8;
constexpr int AliasColumnWidth = 80;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

template <typename W>
W* Named(W* widget, const char* id) {
    widget->setObjectName(QLatin1StringView(id));
    return widget;
}

}  // namespace

ParameterDialog::ParameterDialog(ProgramModel& model, const ParameterRequest& request, Prompts& prompts,
                                 QWidget* parent)
    : QDialog(parent), session_(model, request), prompts_(prompts) {
    setWindowTitle(QString::fromUtf8("Edición de parámetros"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* instructionsLabel = new QLabel(QStringLiteral("Instrucciones"), this);
    instructions_ = Named(new QComboBox(this), "1005");
    instructions_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    description_ = Named(new QLabel(this), "1023");
    description_->setWordWrap(true);
    description_->setMinimumHeight(2 * description_->fontMetrics().height());
    description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    captions_[0] = Named(new QLabel(QStringLiteral("Memoria"), this), "1021");
    edits_[0] = Named(new QLineEdit(this), "1002");
    captions_[1] = Named(new QLabel(QStringLiteral("Contenido"), this), "1022");
    edits_[1] = Named(new QLineEdit(this), "1004");
    for (QLineEdit* edit : edits_) {
        edit->setMaxLength(EditLength);
        edit->installEventFilter(this);
    }
    areaLine_ = Named(new QLabel(this), "1000");
    list_ = Named(new QTreeWidget(this), "1001");
    list_->setColumnCount(2);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setStretchLastSection(false);
    list_->setColumnWidth(1, AliasColumnWidth);
    list_->setHeaderLabels({QStringLiteral("Memoria"), QStringLiteral("Alias")});
    accept_ = Named(new QPushButton(QStringLiteral("Aceptar"), this), "1");
    accept_->setDefault(true);
    cancel_ = Named(new QPushButton(QStringLiteral("Cancelar"), this), "2");

    for (const int32_t element : session_.instructions()) {
        instructions_->addItem(QString::fromLatin1(CatalogueEntryFor(element).mnemonic), element);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(instructionsLabel, 0, 0);
    grid->addWidget(instructions_, 1, 0);
    grid->addWidget(description_, 2, 0);
    grid->addWidget(captions_[0], 3, 0);
    grid->addWidget(edits_[0], 4, 0);
    grid->addWidget(captions_[1], 5, 0);
    grid->addWidget(edits_[1], 6, 0);
    grid->setRowStretch(7, 1);
    grid->addWidget(areaLine_, 0, 1);
    grid->addWidget(list_, 1, 1, 8, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 9, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumSize(DialogUnitsToPixels(font(), 186, 170));

    connect(instructions_, &QComboBox::currentIndexChanged, this, &ParameterDialog::OnInstructionChosen);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) OnRowChosen(list_->indexOfTopLevelItem(item));
    });
    for (int p = 0; p < 2; ++p) {
        connect(edits_[p], &QLineEdit::textEdited, this,
                [this, p](const QString& text) { session_.SetText(p, text.toStdString()); });
    }
    connect(accept_, &QPushButton::clicked, this, &ParameterDialog::OnAccept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

ParameterDialog::~ParameterDialog() = default;

bool ParameterDialog::Start() {
    if (!session_.Open(prompts_)) return false;
    Show();
    // The first box to fill; a box taking the focus when the window opens
    // checks nothing (only the user's moves between the boxes do).
    if (edits_[0]->isEnabled()) {
        edits_[0]->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        instructions_->setFocus(Qt::ActiveWindowFocusReason);
    }
    return true;
}

void ParameterDialog::TakeTexts() {
    for (int p = 0; p < 2; ++p) session_.SetText(p, edits_[p]->text().toStdString());
}

void ParameterDialog::Show() {
    showing_ = true;
    instructions_->setCurrentIndex(session_.selectedPosition());
    description_->setText(Text(session_.description()));
    for (int p = 0; p < 2; ++p) {
        const bool has = session_.displayKind(p) != NoDisplay;
        captions_[p]->setText(has ? Text(session_.caption(p)) : QString());
        edits_[p]->setEnabled(session_.editEnabled(p));
        const QString text = Text(session_.text(p));
        if (edits_[p]->text() != text) edits_[p]->setText(text);
    }
    const auto headings = session_.listHeadings();
    list_->setHeaderLabels({QString::fromUtf8(headings[0]), QString::fromUtf8(headings[1])});
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const ParameterSession::ListRow& row : session_.listRows()) {
        items << new QTreeWidgetItem(QStringList{Text(row.name), Text(row.alias)});
    }
    list_->addTopLevelItems(items);
    list_->setEnabled(session_.listEnabled());
    const int selected = session_.listSelection();
    if (selected >= 0 && selected < items.size()) {
        list_->setCurrentItem(items[selected]);
        list_->scrollToItem(items[selected]);
    }
    areaLine_->setText(Text(session_.areaLine()));
    showing_ = false;
}

void ParameterDialog::FocusEdit(int parameter) {
    QLineEdit* edit = edits_[parameter == 1 ? 1 : 0];
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void ParameterDialog::OnInstructionChosen(int position) {
    if (showing_ || position < 0) return;
    TakeTexts();
    if (!session_.SelectInstruction(position, prompts_)) {
        // No instruction of this cell has a jump target: closed as cancelled.
        reject();
        return;
    }
    Show();
}

void ParameterDialog::OnRowChosen(int row) {
    if (showing_ || row < 0) return;
    TakeTexts();
    session_.ChooseRow(row);
    Show();
}

void ParameterDialog::OnAccept() {
    TakeTexts();
    if (session_.Accept(prompts_, [this](int32_t p) { FocusEdit(p); })) {
        accept();
        return;
    }
    Show();
}

bool ParameterDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && !showing_) {
        const int p = watched == edits_[1] ? 1 : watched == edits_[0] ? 0 : -1;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // The window coming back (after a message box, say) is no move of the user's.
        if (p >= 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            TakeTexts();
            session_.FocusEntered(p, prompts_, [this](int32_t other) { FocusEdit(other); });
            Show();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ParameterDialog::done(int /*result*/) {
    // The close box, Escape and "Cancelar" all put the tables back.
    if (session_.state() == ParameterSession::State::Open) session_.Cancel();
    QDialog::done(session_.state() == ParameterSession::State::Accepted ? QDialog::Accepted : QDialog::Rejected);
}

ParameterResult RunParameterDialog(QWidget* parent, ProgramModel& model, const ParameterRequest& request,
                                   Prompts& prompts, const QRect& cellOnScreen) {
    ParameterDialog dialog(model, request, prompts, parent);
    if (!dialog.Start()) return dialog.outcome();
    // Beside the cell, so that the element being set stays in sight.
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    MoveBeside(dialog, cellOnScreen);
    dialog.exec();
    return dialog.outcome();
}

}  // namespace velmorin
