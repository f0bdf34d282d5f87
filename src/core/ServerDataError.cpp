#include "core/ServerDataError.h"

#include "core/MessageBox.h"

#include <cstdlib>

namespace zelmora {

namespace {
EmergencyExitHandler& exitHandler() {
    static EmergencyExitHandler handler = [] { std::exit(EXIT_FAILURE); };
    return handler;
}
} // namespace

void ShowServerDataError(qint16 kind) {
    if (kind != 1)
        return;
    showMessage(kTitleError, MsgIcon::Critical, kServerDataErrorText);
    if (const EmergencyExitHandler& handler = exitHandler())
        handler();
}

EmergencyExitHandler setEmergencyExitHandler(EmergencyExitHandler handler) {
    EmergencyExitHandler previous = std::move(exitHandler());
    exitHandler() = std::move(handler);
    return previous;
}

} // namespace zelmora
