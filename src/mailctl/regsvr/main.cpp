// Registers or unregisters a component library for the current user:
//   orvex_regsvr [-u] <library>
#include <cstdio>
#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

namespace {
using EntryPoint = int (*)();

int fail(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool unregister = arguments.removeAll(QStringLiteral("-u")) > 0;
    if (arguments.size() != 1)
        return fail(QStringLiteral("usage: orvex_regsvr [-u] <library>"));

    const QString path = arguments.first();
    QLibrary library(path);
    if (!library.load())
        return fail(QStringLiteral("Cannot load %1: %2").arg(path, library.errorString()));

    const char* name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto entry = reinterpret_cast<EntryPoint>(library.resolve(name));
    if (!entry)
        return fail(QStringLiteral("%1 has no entry point %2").arg(path, QLatin1String(name)));
    if (entry() != 0)
        return fail(QStringLiteral("%1 in %2 failed").arg(QLatin1String(name), path));
    std::printf("%s in %s succeeded.\n", name, qPrintable(path));
    return 0;
}
