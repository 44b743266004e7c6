#pragma once
// "Bloque": what to do with the block selection just made. Three buttons,
// top to bottom "Cortar", "Copiar" and "Cancelar"; each closes the box, and
// so does its close box, which counts as "Cancelar".
#include <QDialog>

#include "editor/diagram_editor.h"

class QPushButton;

namespace velmorin {

class BlockDialog : public QDialog {
    Q_OBJECT
public:
    // The buttons' ids, which the box returns.
    static constexpr int CutId = 1168;
    static constexpr int CopyId = 1167;
    static constexpr int CancelId = 2;

    explicit BlockDialog(QWidget* parent = nullptr);

    QPushButton* button(BlockChoice choice) const;
    // The choice the box closed with.
    BlockChoice choice() const;

private:
    QPushButton* cut_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

BlockChoice RunBlockDialog(QWidget* parent);

}  // namespace velmorin
