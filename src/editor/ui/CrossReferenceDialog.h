#pragma once
// "Referencias cruzadas": every operand the diagram uses with each of its
// uses, and every label with the jumps that reach it, as the core's
// cross-reference gives them. It stays open beside the diagram and follows
// the edits; a click on a use marks its cell and scrolls the diagram to it.
#include <QDialog>
#include <QTimer>

#include "model/ladder_model.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace velmorin {

class DiagramSurface;

class CrossReferenceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 8;

    CrossReferenceDialog(const ProgramModel& model, DiagramSurface& diagram, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    // The diagram changed: the table is made again once the event loop comes
    // round, so that the changes of one pass cost one rebuild.
    void Schedule();
    // The table made again now from the model.
    void Refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowUse(QTreeWidgetItem* item);

    const ProgramModel& model_;
    DiagramSurface& diagram_;
    QTreeWidget* tree_ = nullptr;
    QTimer timer_;
};

}  // namespace velmorin
