#pragma once

#include "platform/SocketControl.h"

#include <QObject>
#include <QVector>

// The connect elements of the port checks, created once and reused by every pass. Element i
// reports events with Index i.
class SocketArray final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SocketArray)

public:
    static constexpr int DefaultSize = 31;

    explicit SocketArray(int size = DefaultSize, QObject* parent = nullptr);

    int size() const { return int(m_elements.size()); }
    SocketControl& operator[](int index) const { return *m_elements.at(index); }

private:
    QVector<SocketControl*> m_elements;
};
