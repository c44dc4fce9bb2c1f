#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>

Paths::Paths()
    : m_programFolder(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                   : QDir::currentPath()) {}

Paths::Paths(QString programFolder)
    : m_programFolder(std::move(programFolder)) {}

QString Paths::inProgramFolder(const QString& name) const {
    return QDir::toNativeSeparators(m_programFolder + QLatin1Char('/') + name);
}

QString Paths::fileNamePart(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QDir::separator()));
    return path.mid(cut + 1);
}
