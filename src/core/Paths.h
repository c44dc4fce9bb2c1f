#pragma once

#include <QString>

// The program folder and the files that live in it. Tests point it at a folder of their own.
//
// Shipped files (template, read-me, characters, the default database as built) are read from the
// program folder, or from share/orvex-monitor beside it once installed under a prefix. Files the
// program writes by default (database, log, status page, compaction work file) stay in the
// program folder while it can be written, as in a build folder; an installed program folder
// belongs to the system, so they go to the per-user data folder instead.
class Paths final {
public:
    Paths();
    explicit Paths(QString programFolder);

    QString programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

    QString shippedFolder() const;
    QString dataFolder() const;
    // Only for tests: where writable files go when the program folder is read-only.
    void setUserDataFolder(const QString& folder) { m_userDataFolder = folder; }

    QString inProgramFolder(const QString& name) const;
    // A shipped file, and a writable file that defaults to the program folder.
    QString inShippedFolder(const QString& name) const;
    QString inDataFolder(const QString& name) const;

    // Copies a shipped file into the data folder once, when the data folder is not where it was
    // shipped and holds no file of that name yet; an existing file is never overwritten. A file
    // of that name in the program folder (left there by an earlier build) is taken first.
    // Returns false only when a copy was due and could not be made.
    bool seedDataFolder(const QString& name) const;

    // The part of a path after its last separator.
    static QString fileNamePart(const QString& path);

private:
    QString installedShare() const;
    static QString joined(const QString& folder, const QString& name);

    QString m_programFolder;
    QString m_userDataFolder;
};
