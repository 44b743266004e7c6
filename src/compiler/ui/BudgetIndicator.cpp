#include "compiler/ui/BudgetIndicator.h"

namespace velmorin {

BudgetIndicator::BudgetIndicator(const ProgramModel& model, QWidget* parent) : QPushButton(parent), model_(model) {
    setObjectName(QStringLiteral("budgetIndicator"));
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QString::fromUtf8("Uso del controlador y diagnósticos del diagrama actual. Clic: ver el listado"));
    setStatusTip(QString::fromUtf8("Lo que el programa ocuparía en el PLC; clic para ver errores y observaciones"));
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &BudgetIndicator::MeasureNow);
    connect(this, &QPushButton::clicked, this, [this] {
        // The list must show what the counts say, even with a change not measured yet.
        Flush();
        emit diagnosticsRequested();
    });
    MeasureNow();
}

void BudgetIndicator::Schedule() { timer_.start(); }

void BudgetIndicator::Flush() {
    if (!timer_.isActive()) return;
    timer_.stop();
    MeasureNow();
}

void BudgetIndicator::MeasureNow() {
    const ProgramBudget& budget = meter_.Measure(model_);
    setText(QString::fromStdString(BudgetText(budget)));
    // A program that would not compile shows in red while it is being drawn.
    setStyleSheet(budget.errors > 0 ? QStringLiteral("color: #c00000;") : QString());
}

}  // namespace velmorin
