#pragma once
// "Listado de errores": the diagnostics as a table. A click on a row marks
// its cell in the diagram and scrolls the diagram to it; "OK" takes the mark
// away again, the close box leaves it. The same box lists the last
// compilation's diagnostics and those of the status bar's live budget; for
// the live budget the program's observations follow, under "Observaciones".
#include <QDialog>

#include <vector>

#include "compiler/diagnostics.h"
#include "compiler/error_list.h"
#include "model/ladder_model.h"
#include "model/prompts.h"
#include "ui/DiagramSurface.h"

class QPushButton;
class QTableWidget;

namespace velmorin {

class ErrorListDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;

    // Without observations their part of the box is not shown; without
    // diagnostics but with observations, only the observations are.
    ErrorListDialog(const std::vector<ErrorListRow>& rows, DiagramSurface& diagram, QWidget* parent = nullptr,
                    const std::vector<ErrorListRow>& observations = {});

    QTableWidget* list() const { return list_; }
    QTableWidget* observationList() const { return observations_; }
    QPushButton* okButton() const { return ok_; }

    void done(int result) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTableWidget* MakeList(const std::vector<ErrorListRow>& rows, const char* name);
    void SizeColumns();
    void MarkRow(const QTableWidget& list, int row);

    DiagramSurface& diagram_;
    QTableWidget* list_ = nullptr;
    QTableWidget* observations_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the box over `diagnostics` and `observations` until it closes; with
// neither, only the message "No hay errores registrados" through `prompts`.
void RunErrorList(QWidget* parent, DiagramSurface& diagram, const ProgramModel& model,
                  const std::vector<DiagnosticEntry>& diagnostics, Prompts& prompts,
                  const std::vector<Observation>& observations = {});

}  // namespace velmorin
