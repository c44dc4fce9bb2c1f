#pragma once

#include <QString>

// The program folder and the files that live in it. Tests point it at a folder of their own.
class Paths final {
public:
    Paths();
    explicit Paths(QString programFolder);

    QString programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

    // The program folder joined with a file name, the way every default path is built.
    QString inProgramFolder(const QString& name) const;

    // The part of a path after its last separator.
    static QString fileNamePart(const QString& path);

private:
    QString m_programFolder;
};
