#pragma once

#include <QString>
#include <QVariantList>

// A statement's text with its values kept apart, bound as parameters when it runs.
struct Statement {
    QString sql;
    QVariantList params;
};
