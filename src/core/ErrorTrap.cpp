#include "core/ErrorTrap.h"

#include "core/AppContext.h"

bool reportTrapped(AppContext& context, const char* routineName, const std::exception& error) {
    constexpr int InternalError = 51;
    const auto* runtime = dynamic_cast<const RuntimeError*>(&error);
    const int number = runtime ? runtime->number() : InternalError;
    const QString description =
        runtime ? runtime->description() : QString::fromLocal8Bit(error.what());
    context.errors().ReportError(number, description, QString::fromLatin1(routineName));
    return false;
}
