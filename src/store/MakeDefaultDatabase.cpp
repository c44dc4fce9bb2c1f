// Builds the default monitoring database from the shipped list of well-known ports. An
// existing file is left as it is: a user's database is never overwritten by a build.

#include "core/RuntimeError.h"
#include "store/Database.h"

#include <cstdio>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {
void fillPorts(Database& db, const QString& csvPath) {
    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
        throw RuntimeError(53, QStringLiteral("File not found: ") + csvPath);
    QTextStream in(&csv);
    Database::Transaction transaction(db);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        bool ok = false;
        const int number = line.left(comma).toInt(&ok);
        if (comma < 0 || !ok)
            throw RuntimeError(13, QStringLiteral("Bad port line: ") + line);
        db.execute(
            {QStringLiteral("INSERT INTO TCP_Ports (Port_Number, Description) VALUES (?, ?)"),
             {number, line.mid(comma + 1).trimmed()}});
    }
    transaction.commit();
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: orvex_makedb DATABASE PORTS.csv\n");
        return 2;
    }
    const QString target = args.at(1);
    if (QFileInfo::exists(target))
        return 0;
    const QString work = target + QStringLiteral(".new");
    try {
        QFile::remove(work);
        Database::create(work);
        Database db;
        db.open(work);
        fillPorts(db, args.at(2));
        db.close();
        if (!QFile::rename(work, target))
            throw RuntimeError(75, QStringLiteral("Cannot create ") + target);
    } catch (const RuntimeError& error) {
        QFile::remove(work);
        std::fprintf(stderr, "orvex_makedb: %s\n", qPrintable(error.description()));
        return 1;
    }
    return 0;
}
