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
    // The arrows bring a value from outside the range back into it.
    setRange(m_minimum, m_maximum);
    QSpinBox::stepBy(steps);
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
