#pragma once
// The fields of the link dialogs that only their up/down control changes: a
// controller identifier ("%03d", 1..255) or a password byte ("%02X", 0..255).
// The keyboard does not type into the field; the arrows, the arrow keys and
// the wheel step it.
#include <QSpinBox>

namespace velmorin {

class LinkFieldSpinBox : public QSpinBox {
    Q_OBJECT
public:
    enum class Format { Identifier, HexByte };

    explicit LinkFieldSpinBox(Format format, QWidget* parent = nullptr);

    // The field's text, as a request reads it.
    QString fieldText() const;

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;

private:
    Format format_;
};

}  // namespace velmorin
