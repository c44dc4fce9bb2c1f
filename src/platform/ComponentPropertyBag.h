#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QVariant>

// The host's store of a component's saved properties. The component writes each property with
// its default; a value equal to its default is left out, so a store of defaults is empty.
// Reading a property that is not stored gives the default. The component reaches the bag
// late bound, through the two invokable methods.
class ComponentPropertyBag final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ComponentPropertyBag)

public:
    using Entry = QPair<QString, QVariant>;

    explicit ComponentPropertyBag(QObject* parent = nullptr);

    Q_INVOKABLE QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const;
    Q_INVOKABLE void WriteProperty(const QString& name, const QVariant& value,
                                   const QVariant& defaultValue);

    // The stored values in the order they were written.
    QList<Entry> entries() const { return m_entries; }
    void setValue(const QString& name, const QVariant& value);
    void clear() { m_entries.clear(); }

private:
    qsizetype indexOf(const QString& name) const;

    QList<Entry> m_entries;
};
