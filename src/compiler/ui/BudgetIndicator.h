#pragma once
// The live budget in the status bar: what the diagram would use in the
// controller (code bytes, timers, counters) and how many errors and warnings
// a compilation would raise now. A change only schedules a measure; the
// changes that arrive before the event loop comes round again cost one
// measure together. Clicking it asks for the diagnostics behind the counts.
#include <QPushButton>
#include <QTimer>

#include "compiler/program_budget.h"
#include "model/ladder_model.h"

namespace velmorin {

class BudgetIndicator : public QPushButton {
    Q_OBJECT
public:
    explicit BudgetIndicator(const ProgramModel& model, QWidget* parent = nullptr);

    // The diagram changed (an edit, a new or loaded document).
    void Schedule();
    // A scheduled measure now. Called before anyone else starts working on
    // the model, so that no measure runs beside a compilation.
    void Flush();
    bool pending() const { return timer_.isActive(); }
    const ProgramBudget& budget() const { return meter_.last(); }

signals:
    // A click on the counts: the frame lists budget().diagnostics.
    void diagnosticsRequested();

private:
    void MeasureNow();

    const ProgramModel& model_;
    BudgetMeter meter_;
    QTimer timer_;
};

}  // namespace velmorin
