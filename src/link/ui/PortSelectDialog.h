#pragma once
// "Selecciona puerto serie": which of Com1..Com4 the controller is on, and
// which device of this computer each Com opens. However the box is closed
// (OK, its close box, Escape), the first checked port is the choice and the
// devices typed or picked are kept. A Com fixed by VELMORIN_COMn shows that
// device and cannot be changed here.
#include <QDialog>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "link/plc_link.h"
#include "link/port_devices.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace velmorin {

class PortSelectDialog : public QDialog {
    Q_OBJECT
public:
    // `configured`: the devices the settings hold ("" for a Com's default);
    // `found`: the serial devices of this computer, offered in every drop-down.
    PortSelectDialog(int commPort, const std::array<std::string, PortCount>& configured,
                     const std::vector<std::string>& found, const EnvironmentLookup& environment,
                     QWidget* parent = nullptr);

    // The first checked radio button; nothing when none is.
    std::optional<int> chosenPort() const;
    // The devices for the settings; a Com fixed by the environment keeps what it had.
    std::array<std::string, PortCount> devices() const;

    QRadioButton* portButton(int port) const { return buttons_[port]; }
    QComboBox* deviceBox(int port) const { return boxes_[port]; }
    QPushButton* okButton() const { return ok_; }

private:
    std::array<QRadioButton*, PortCount> buttons_{};
    std::array<QComboBox*, PortCount> boxes_{};
    std::array<bool, PortCount> fixed_{};
    std::array<std::string, PortCount> configured_;
    QPushButton* ok_ = nullptr;
};

}  // namespace velmorin
