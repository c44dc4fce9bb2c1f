#pragma once

#include <QSpinBox>

// A number field with its spin arrows. A stored value outside the field's range is still shown
// (and stored again) as it is until the arrows or the keyboard change it, since the range bounds
// only changes made in the dialog. The arrows step from the value shown and land within the
// range.
class NumberField final : public QSpinBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NumberField)
public:
    NumberField(int minimum, int maximum, int step, QWidget* parent = nullptr);

    // Shows a stored text, rounded as the monitor reads it; a text that is not a number, or
    // one beyond a whole number's reach, shows `def` instead.
    void load(const QString& stored, int def);
    // The field's value as the store keeps it.
    QString storedText() const { return QString::number(value()); }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    void showValue(int value);

    int m_minimum;
    int m_maximum;
};
