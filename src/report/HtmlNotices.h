#pragma once

#include <QString>
#include <QVector>

// What one check cycle found, as the dispatch collects it for the notices and the status
// page. Names are display names (GetAlias); the error text may be empty.
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
