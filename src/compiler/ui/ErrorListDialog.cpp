#include "compiler/ui/ErrorListDialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "compiler/compiler_messages.h"
#include "ui/MoveBeside.h"
#include "model/observation_messages.h"

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

ErrorListDialog::ErrorListDialog(const std::vector<ErrorListRow>& rows, DiagramSurface& diagram, QWidget* parent,
                                 const std::vector<ErrorListRow>& observations)
    : QDialog(parent), diagram_(diagram) {
    setWindowTitle(QStringLiteral("Listado de errores"));
    setObjectName(QStringLiteral("errorListDialog"));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* layout = new QVBoxLayout(this);
    list_ = MakeList(rows, "errorList");
    layout->addWidget(list_);
    if (!observations.empty()) {
        // The live budget's own remarks have their box only when there are some.
        list_->setVisible(!rows.empty());
        auto* heading = new QLabel(QString::fromUtf8(msg::ObservationsHeading), this);
        heading->setObjectName(QStringLiteral("observationsHeading"));
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        observations_ = MakeList(observations, "observationList");
        layout->addWidget(heading);
        layout->addWidget(observations_);
    }

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("errorListOk"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok_, 0, Qt::AlignHCenter);
    resize(560, observations.empty() || rows.empty() ? 300 : 420);
}

QTableWidget* ErrorListDialog::MakeList(const std::vector<ErrorListRow>& rows, const char* name) {
    auto* list = new QTableWidget(static_cast<int>(rows.size()), ColumnCount, this);
    list->setObjectName(QString::fromLatin1(name));
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->horizontalHeader()->setStretchLastSection(false);
    list->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < ColumnCount; ++c)
        list->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromUtf8(Headings[c])));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ErrorListRow& row = rows[static_cast<size_t>(r)];
        QTableWidgetItem* number = Cell(row.number);
        number->setData(Qt::UserRole, row.gridRow);
        list->setItem(r, 0, number);
        list->setItem(r, 1, Cell(row.block));
        list->setItem(r, 2, Cell(row.rowInBlock));
        list->setItem(r, 3, Cell(row.column));
        list->setItem(r, 4, Cell(row.description));
    }
    // Only a click on an item leads to the diagram; the empty space below the rows does nothing.
    connect(list, &QTableWidget::cellClicked, this, [this, list](int row, int /*column*/) { MarkRow(*list, row); });
    return list;
}

void ErrorListDialog::SizeColumns() {
    for (QTableWidget* list : {list_, observations_}) {
        if (!list) continue;
        const int unit = list->viewport()->width() / UnitsAcross;
        for (int c = 0; c < ColumnCount; ++c) list->setColumnWidth(c, ColumnUnits[c] * unit);
    }
}

void ErrorListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    SizeColumns();
}

void ErrorListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SizeColumns();
}

void ErrorListDialog::MarkRow(const QTableWidget& list, int row) {
    const QTableWidgetItem* number = list.item(row, 0);
    const QTableWidgetItem* column = list.item(row, 3);
    if (!number || !column) return;
    const CellPos cell{column->text().trimmed().toInt(), number->data(Qt::UserRole).toInt()};
    // The user looks at the diagram while the box stays open: drawn now,
    // and out from under the box.
    diagram_.PointAt(cell);
    const QRect shown = diagram_.CellScreenRect(cell);
    if (frameGeometry().intersects(shown)) MoveBeside(*this, shown);
}

void ErrorListDialog::done(int result) {
    // "OK" takes the mark away; the close box (and Esc) leave it for the user to work on.
    if (result == QDialog::Accepted) {
        diagram_.MarkCell({});
    }
    QDialog::done(result);
}

void RunErrorList(QWidget* parent, DiagramSurface& diagram, const ProgramModel& model,
                  const std::vector<DiagnosticEntry>& diagnostics, Prompts& prompts,
                  const std::vector<Observation>& observations) {
    if (diagnostics.empty() && observations.empty()) {
        prompts.ShowMessage(msg::NoDiagnostics);
        return;
    }
    ErrorListDialog dialog(ErrorListRows(model, diagnostics), diagram, parent, ObservationRows(model, observations));
    // Clear of the rows a click brings the marked cell to (the third visible
    // row, or one of the first two at the top of the diagram).
    const QRect visible = diagram.VisibleScreenRect();
    MoveBeside(dialog, QRect(visible.topLeft(), QSize(visible.width(), 3 * diagram.CellScreenRect({0, 0}).height())));
    dialog.exec();
}

}  // namespace velmorin
