#include "platform/SocketArray.h"

SocketArray::SocketArray(int size, QObject* parent)
    : QObject(parent) {
    m_elements.reserve(size);
    for (int i = 0; i < size; ++i)
        m_elements.append(new SocketControl(qint16(i), this));
}
