#pragma once
// "Contraseña", as both transfer dialogs show it: "Habilitar" and the two
// "%02X" fields of the program password, the high byte on the left. The
// fields start from the password kept in memory; only "Habilitar" lets a
// request carry them, and only it lets their spins move.
#include <QGroupBox>

#include <cstdint>

#include "link/link_dialog_rules.h"

class QCheckBox;

namespace velmorin {

class LinkFieldSpinBox;

class PasswordGroup : public QGroupBox {
    Q_OBJECT
public:
    PasswordGroup(uint16_t password, QWidget* parent = nullptr);

    PasswordFields fields() const;
    // Both fields, whatever "Habilitar" says: what memory keeps for the next opening.
    uint16_t shownPassword() const;

    QCheckBox* enableBox() const { return enable_; }
    LinkFieldSpinBox* highField() const { return high_; }
    LinkFieldSpinBox* lowField() const { return low_; }

private:
    void ApplyEnable();

    QCheckBox* enable_ = nullptr;
    LinkFieldSpinBox* high_ = nullptr;
    LinkFieldSpinBox* low_ = nullptr;
};

}  // namespace velmorin
