#pragma once

#include "browser/lists/Services.h"

#include <QString>

#include <exception>
#include <utility>

namespace browser {

// Runs the work of a handler. An exception it raises ends the work and is shown with its message
// through the services, as an application's default exception handler does; nothing leaves
// a handler into the toolkit. True when the work ran to its end.
template <typename Work> bool RunReportingErrors(Services& services, Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& error) {
        services.showMessage(QString::fromStdString(error.what()));
    }
    return false;
}

} // namespace browser
