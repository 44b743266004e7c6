#include "editor/ui/CrossReferenceDialog.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <string>

#include "ui/DiagramSurface.h"
#include "ui/MoveBeside.h"
#include "model/catalogue.h"
#include "model/cross_reference.h"
#include "model/text_encoding.h"

namespace velmorin {

namespace {

enum Column { Memory, Alias, Uses, Block, RowY, ColumnX, Mnemonic, Role };

const char* const Headings[CrossReferenceDialog::ColumnCount] = {"Memoria", "Alias", "Usos",        "Bloque",
                                                                 "Y",       "X",     "Instrucción", "Función"};

// Where a click on an item leads; items without it (an operand's own row) only open and close.
constexpr int CellRowRole = Qt::UserRole;
constexpr int CellColumnRole = Qt::UserRole + 1;

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QString LabelName(const ProgramModel& model, int32_t label) {
    if (label < 0 || label >= LabelCount) return QStringLiteral("-");
    return Text(Windows1252ToUtf8(FieldText(model.labels[static_cast<size_t>(label)].name)));
}

void PointAt(QTreeWidgetItem* item, int32_t row, int32_t column) {
    item->setData(0, CellRowRole, row);
    item->setData(0, CellColumnRole, column);
}

QTreeWidgetItem* UseItem(const ProgramModel& model, const OperandUse& use) {
    auto* item = new QTreeWidgetItem;
    item->setText(Block, LabelName(model, use.block()));
    item->setText(RowY, QString::number(use.rowInBlock()));
    item->setText(ColumnX, QString::number(use.column));
    item->setText(Mnemonic, QString::fromLatin1(CatalogueEntryFor(use.element).mnemonic).toUpper());
    item->setText(Role, QString::fromLatin1(RoleText(use.role)));
    PointAt(item, use.row, use.column);
    return item;
}

QTreeWidgetItem* HeadItem(const std::string& name, const std::string& alias, size_t uses) {
    auto* item = new QTreeWidgetItem;
    item->setText(Memory, Text(name));
    item->setText(Alias, Text(alias));
    item->setText(Uses, QString::number(static_cast<qulonglong>(uses)));
    return item;
}

}  // namespace

CrossReferenceDialog::CrossReferenceDialog(const ProgramModel& model, DiagramSurface& diagram, QWidget* parent)
    : QDialog(parent), model_(model), diagram_(diagram) {
    setObjectName(QStringLiteral("crossReferenceDialog"));
    setWindowTitle(QStringLiteral("Referencias cruzadas"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("crossReferenceTree"));
    tree_->setColumnCount(ColumnCount);
    QStringList headings;
    for (const char* heading : Headings) headings << QString::fromUtf8(heading);
    tree_->setHeaderLabels(headings);
    tree_->setUniformRowHeights(true);
    tree_->setAlternatingRowColors(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { ShowUse(item); });
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) { ShowUse(item); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);
    resize(600, 420);

    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &CrossReferenceDialog::Refresh);
    Refresh();
}

void CrossReferenceDialog::Schedule() {
    // A hidden window is made again when it shows.
    if (isVisible()) timer_.start();
}

void CrossReferenceDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
}

void CrossReferenceDialog::Refresh() {
    timer_.stop();
    // What the user opened stays open across the rebuild, by the names shown.
    QSet<QString> expanded;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = tree_->topLevelItem(i);
        if (item->isExpanded()) expanded.insert(item->text(Memory));
    }
    const int scrolled = tree_->verticalScrollBar()->value();

    const CrossReference xref = BuildCrossReference(model_);
    QList<QTreeWidgetItem*> items;
    for (const OperandReference& operand : xref.operands) {
        QTreeWidgetItem* head = HeadItem(operand.name, operand.alias, operand.uses.size());
        for (const OperandUse& use : operand.uses) head->addChild(UseItem(model_, use));
        items << head;
    }
    for (const LabelReference& label : xref.labels) {
        QTreeWidgetItem* head = HeadItem(label.name, label.alias, label.jumps.size());
        // The label itself is where the diagram draws it: its block's first rail cell.
        PointAt(head, BlockFirstRow(label.index), 0);
        for (const OperandUse& jump : label.jumps) head->addChild(UseItem(model_, jump));
        items << head;
    }
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    tree_->addTopLevelItems(items);
    for (QTreeWidgetItem* item : items) item->setExpanded(expanded.contains(item->text(Memory)));
    tree_->verticalScrollBar()->setValue(scrolled);
    tree_->setUpdatesEnabled(true);
}

void CrossReferenceDialog::ShowUse(QTreeWidgetItem* item) {
    if (!item) return;
    const QVariant row = item->data(0, CellRowRole);
    if (!row.isValid()) return;
    const CellPos cell{item->data(0, CellColumnRole).toInt(), row.toInt()};
    diagram_.PointAt(cell);
    const QRect shown = diagram_.CellScreenRect(cell);
    if (frameGeometry().intersects(shown)) MoveBeside(*this, shown);
}

}  // namespace velmorin
