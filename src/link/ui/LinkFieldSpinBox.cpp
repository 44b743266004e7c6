#include "link/ui/LinkFieldSpinBox.h"

#include <QLineEdit>

#include "link/link_fields.h"

namespace velmorin {

LinkFieldSpinBox::LinkFieldSpinBox(Format format, QWidget* parent) : QSpinBox(parent), format_(format) {
    if (format_ == Format::Identifier)
        setRange(MinControllerId, MaxControllerId);
    else
        setRange(0, 255);
    setWrapping(false);
    // The field is shown, not typed into: the spin's own read-only flag would stop the arrows too.
    lineEdit()->setReadOnly(true);
    setAlignment(Qt::AlignRight);
    // Three digits or two: the field does not grow with its dialog.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString LinkFieldSpinBox::fieldText() const { return lineEdit()->text(); }

QString LinkFieldSpinBox::textFromValue(int value) const {
    if (format_ == Format::Identifier) return QString::fromStdString(FormatIdentifier(value));
    return QString::fromStdString(FormatPasswordByte(static_cast<uint8_t>(value)));
}

int LinkFieldSpinBox::valueFromText(const QString& text) const {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, format_ == Format::Identifier ? 10 : 16);
    return ok ? value : this->value();
}

QValidator::State LinkFieldSpinBox::validate(QString& text, int& /*pos*/) const {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, format_ == Format::Identifier ? 10 : 16);
    if (!ok) return QValidator::Intermediate;
    return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Invalid;
}

}  // namespace velmorin
