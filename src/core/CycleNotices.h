#pragma once

#include <QString>
#include <QVector>

// What one check cycle found: the engine's dispatch collects these and hands them to the
// notices it sends and to the status page, which sits below the engine. Names are display
// names (GetAlias); the error text may be empty.
struct FailureNotice {
    QString name;
    QString port;
    QString errorText;
};

struct RecoveryNotice {
    QString name;
    QString port;
};

using FailureList = QVector<FailureNotice>;
using RecoveryList = QVector<RecoveryNotice>;
