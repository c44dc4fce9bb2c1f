#include "ui/dialogs/NumberField.h"

#include "core/RuntimeError.h"
#include "core/SettingReaders.h"

NumberField::NumberField(int minimum, int maximum, int step, QWidget* parent)
    : QSpinBox(parent)
    , m_minimum(minimum)
    , m_maximum(maximum) {
    setRange(minimum, maximum);
    setSingleStep(step);
    setAccelerated(true);
}

void NumberField::load(const QString& stored, int def) {
    try {
        showValue(SettingReaders::int32(stored));
    } catch (const RuntimeError&) {
        // A value edited by hand into something else must not keep the dialog from opening.
        showValue(def);
    }
}

void NumberField::showValue(int value) {
    setRange(qMin(value, m_minimum), qMax(value, m_maximum));
    setValue(value);
}

void NumberField::stepBy(int steps) {
    // The step is taken while the range still holds the stored value, so a stored 10000 steps
    // down to 9500; narrowing the range afterwards brings any value from outside back into it.
    QSpinBox::stepBy(steps);
    setRange(m_minimum, m_maximum);
}

QAbstractSpinBox::StepEnabled NumberField::stepEnabled() const {
    if (isReadOnly() || !isEnabled())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (value() < m_maximum)
        enabled |= StepUpEnabled;
    if (value() > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}
