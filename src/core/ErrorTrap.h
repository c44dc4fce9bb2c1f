#pragma once

#include "core/RuntimeError.h"

#include <exception>
#include <utility>

class AppContext;

// A routine that traps errors: any error of its body goes to the error report under the
// routine's name, which ends the program. Returns false when the body failed.
bool reportTrapped(AppContext& context, const char* routineName, const std::exception& error);

template <typename Body>
bool trapErrors(AppContext& context, const char* routineName, Body&& body) {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception& error) {
        return reportTrapped(context, routineName, error);
    }
}

// A step of a routine that ignores errors: a failing step is skipped and the next one runs.
template <typename Step> void ignoreErrors(Step&& step) {
    try {
        std::forward<Step>(step)();
    } catch (...) {
    }
}
