#pragma once

#include <QPoint>
#include <QString>

// One queued request of a character. Requests run one after another in the order made.
struct AgentRequest {
    enum class Kind { Show, Hide, Play, Speak, MoveTo };

    quint32 id = 0;
    Kind kind = Kind::Show;
    QString text; // animation name or speech text
    QPoint position;
};
