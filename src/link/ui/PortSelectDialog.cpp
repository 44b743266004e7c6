#include "link/ui/PortSelectDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "link/link_dialog_rules.h"

namespace velmorin {

PortSelectDialog::PortSelectDialog(int commPort, const std::array<std::string, PortCount>& configured,
                                   const std::vector<std::string>& found, const EnvironmentLookup& environment,
                                   QWidget* parent)
    : QDialog(parent), configured_(configured) {
    setObjectName("portSelectDialog");
    setWindowTitle(QString::fromUtf8("Selecciona puerto serie"));

    auto* group = new QGroupBox(QString::fromUtf8("Puerto Serie"), this);
    auto* grid = new QGridLayout(group);
    const std::array<std::string, PortCount> shown = ResolvePortDevices(configured, environment);
    for (int port = 0; port < PortCount; ++port) {
        auto* button = new QRadioButton(QStringLiteral("Com%1").arg(port + 1), group);
        button->setObjectName(QStringLiteral("com%1").arg(port + 1));
        button->setChecked(port == commPort);
        auto* box = new QComboBox(group);
        box->setObjectName(QStringLiteral("device%1").arg(port + 1));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(16);
        for (const std::string& device : found) box->addItem(QString::fromStdString(device));
        box->setEditText(QString::fromStdString(shown[port]));
        box->lineEdit()->setCursorPosition(0);
        const char* overridden = environment ? environment(PortEnvironmentName(port).c_str()) : nullptr;
        fixed_[port] = overridden && *overridden;
        if (fixed_[port]) {
            box->setEnabled(false);
            box->setToolTip(QStringLiteral("Fijado por %1").arg(QString::fromStdString(PortEnvironmentName(port))));
        }
        // Com1 and Com2 on the left, Com3 and Com4 on the right.
        const int row = port % 2;
        const int column = (port / 2) * 2;
        grid->addWidget(button, row, column);
        grid->addWidget(box, row, column + 1);
        buttons_[port] = button;
        boxes_[port] = box;
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName("okButton");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

std::optional<int> PortSelectDialog::chosenPort() const {
    std::array<bool, PortCount> checked{};
    for (int port = 0; port < PortCount; ++port) checked[port] = buttons_[port]->isChecked();
    return FirstCheckedPort(checked);
}

std::array<std::string, PortCount> PortSelectDialog::devices() const {
    std::array<std::string, PortCount> devices = configured_;
    for (int port = 0; port < PortCount; ++port) {
        if (!fixed_[port]) devices[port] = PortDeviceToStore(port, boxes_[port]->currentText().toStdString());
    }
    return devices;
}

}  // namespace velmorin
