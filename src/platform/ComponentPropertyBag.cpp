#include "platform/ComponentPropertyBag.h"

ComponentPropertyBag::ComponentPropertyBag(QObject* parent)
    : QObject(parent) {}

qsizetype ComponentPropertyBag::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant ComponentPropertyBag::ReadProperty(const QString& name,
                                            const QVariant& defaultValue) const {
    const qsizetype i = indexOf(name);
    return i < 0 ? defaultValue : m_entries[i].second;
}

void ComponentPropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                         const QVariant& defaultValue) {
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_entries.removeAt(i);
    if (value != defaultValue)
        m_entries.append({name, value});
}

void ComponentPropertyBag::setValue(const QString& name, const QVariant& value) {
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_entries[i].second = value;
    else
        m_entries.append({name, value});
}
