#include "core/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
// Where an installed program keeps its shipped files, relative to its bin/ folder.
const QString InstalledShare = QStringLiteral("../share/orvex-monitor");
} // namespace

Paths::Paths()
    : m_programFolder(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                   : QDir::currentPath()) {}

Paths::Paths(QString programFolder)
    : m_programFolder(std::move(programFolder)) {}

QString Paths::installedShare() const {
    const QFileInfo share(m_programFolder + QLatin1Char('/') + InstalledShare);
    return share.isDir() ? share.canonicalFilePath() : QString();
}

QString Paths::shippedFolder() const {
    const QString share = installedShare();
    return share.isEmpty() ? m_programFolder : share;
}

QString Paths::dataFolder() const {
    // An installed program folder is never written, even by a user who could (root).
    if (installedShare().isEmpty() && QFileInfo(m_programFolder).isWritable())
        return m_programFolder;
    const QString folder = m_userDataFolder.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                               : m_userDataFolder;
    QDir().mkpath(folder);
    return folder;
}

QString Paths::inProgramFolder(const QString& name) const {
    return joined(m_programFolder, name);
}

QString Paths::inShippedFolder(const QString& name) const {
    return joined(shippedFolder(), name);
}

QString Paths::inDataFolder(const QString& name) const {
    return joined(dataFolder(), name);
}

bool Paths::seedDataFolder(const QString& name) const {
    const QString target = inDataFolder(name);
    // A build used to keep its database beside the program: the first start after the change
    // takes that one, with the person's devices, instead of the shipped one.
    const QString left = inProgramFolder(name);
    const QString source = QFileInfo(left).isFile() ? left : inShippedFolder(name);
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(source).absoluteFilePath() ||
        QFileInfo::exists(target) || !QFileInfo::exists(source))
        return true;
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    // Written under another name and renamed at the end, so an interrupted first start leaves
    // no half database behind.
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() || out.write(block) != block.size()) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
}

QString Paths::fileNamePart(const QString& path) {
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QDir::separator()));
    return path.mid(cut + 1);
}

QString Paths::joined(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name);
}
