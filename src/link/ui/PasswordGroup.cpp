#include "link/ui/PasswordGroup.h"

#include <QCheckBox>
#include <QHBoxLayout>

#include "link/ui/LinkFieldSpinBox.h"

namespace velmorin {

PasswordGroup::PasswordGroup(uint16_t password, QWidget* parent) : QGroupBox(QString::fromUtf8("Contraseña"), parent) {
    setObjectName("passwordGroup");
    enable_ = new QCheckBox(QStringLiteral("Habilitar"), this);
    enable_->setObjectName("passwordEnable");
    high_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::HexByte, this);
    high_->setObjectName("passwordHigh");
    high_->setValue(password >> 8);
    low_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::HexByte, this);
    low_->setObjectName("passwordLow");
    low_->setValue(password & 0xFF);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(enable_);
    layout->addStretch();
    layout->addWidget(high_);
    layout->addWidget(low_);
    connect(enable_, &QCheckBox::toggled, this, [this] { ApplyEnable(); });
    ApplyEnable();
}

void PasswordGroup::ApplyEnable() {
    high_->setEnabled(enable_->isChecked());
    low_->setEnabled(enable_->isChecked());
}

PasswordFields PasswordGroup::fields() const {
    return {enable_->isChecked(), static_cast<uint8_t>(high_->value()), static_cast<uint8_t>(low_->value())};
}

uint16_t PasswordGroup::shownPassword() const { return static_cast<uint16_t>((high_->value() << 8) | low_->value()); }

}  // namespace velmorin
