#include "compiler/ui/ErrorListDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "compiler/compiler_messages.h"
#include "ui/MoveBeside.h"

namespace velmorin {

namespace {

constexpr int UnitsAcross = 14;
// Widths in units of a fourteenth of the list's width. They add up to more
// than the list: the descriptions run on under a horizontal scroll bar.
constexpr int ColumnUnits[ErrorListDialog::ColumnCount] = {2, 2, 1, 1, 12};
const char* const Headings[ErrorListDialog::ColumnCount] = {"Nro", "Bloque", "Y", "X", "Descripción"};

QTableWidgetItem* Cell(const std::string& text) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return item;
}

}  // namespace

ErrorListDialog::ErrorListDialog(const std::vector<ErrorListRow>& rows, DiagramSurface& diagram, QWidget* parent)
    : QDialog(parent), diagram_(diagram) {
    setWindowTitle(QStringLiteral("Listado de errores"));
    setObjectName(QStringLiteral("errorListDialog"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    list_ = new QTableWidget(static_cast<int>(rows.size()), ColumnCount, this);
    list_->setObjectName(QStringLiteral("errorList"));
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setStretchLastSection(false);
    list_->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < ColumnCount; ++c)
        list_->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(Headings[c])));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ErrorListRow& row = rows[static_cast<size_t>(r)];
        QTableWidgetItem* number = Cell(row.number);
        number->setData(Qt::UserRole, row.gridRow);
        list_->setItem(r, 0, number);
        list_->setItem(r, 1, Cell(row.block));
        list_->setItem(r, 2, Cell(row.rowInBlock));
        list_->setItem(r, 3, Cell(row.column));
        list_->setItem(r, 4, Cell(row.description));
    }
    // Only a click on an item leads to the diagram; the empty space below the rows does nothing.
    connect(list_, &QTableWidget::cellClicked, this, [this](int row, int /*column*/) { MarkRow(row); });

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("errorListOk"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    resize(560, 300);
}

void ErrorListDialog::SizeColumns() {
    const int unit = list_->viewport()->width() / UnitsAcross;
    for (int c = 0; c < ColumnCount; ++c) list_->setColumnWidth(c, ColumnUnits[c] * unit);
}

void ErrorListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void ErrorListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SizeColumns();
}

void ErrorListDialog::MarkRow(int row) {
    const QTableWidgetItem* number = list_->item(row, 0);
    const QTableWidgetItem* column = list_->item(row, 3);
    if (!number || !column) return;
    const ErrorListTarget target = TargetOf(number->data(Qt::UserRole).toInt(), column->text().trimmed().toInt());
    diagram_.ScrollToRow(target.topRow);
    // The user looks at the diagram while the box stays open: the mark
    // shows at once, and out from under the box.
    diagram_.MarkCell({target.column, target.row});
    const QRect cell = diagram_.CellScreenRect({target.column, target.row});
    if (frameGeometry().intersects(cell)) MoveBeside(*this, cell);
}

void ErrorListDialog::done(int result) {
    // "OK" takes the mark away; the close box (and Esc) leave it for the user to work on.
    if (result == QDialog::Accepted) {
        diagram_.MarkCell({});
    }
    QDialog::done(result);
}

void RunErrorList(QWidget* parent, DiagramSurface& diagram, const ProgramModel& model,
                  const std::vector<DiagnosticEntry>& diagnostics, Prompts& prompts) {
    if (diagnostics.empty()) {
        prompts.ShowMessage(msg::NoDiagnostics);
        return;
    }
    ErrorListDialog dialog(ErrorListRows(model, diagnostics), diagram, parent);
    // Clear of the rows a click brings the marked cell to (the third visible
    // row, or one of the first two at the top of the diagram).
    const QRect visible = diagram.VisibleScreenRect();
    MoveBeside(dialog, QRect(visible.topLeft(), QSize(visible.width(), 3 * CellPixels)));
    dialog.exec();
}

}  // namespace velmorin
