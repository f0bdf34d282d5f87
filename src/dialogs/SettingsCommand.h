#pragma once

#include "dialogs/frmSetParameter.h"

#include <functional>

class QWidget;

namespace zelmora {

struct AppState;
class GroupwareSession;
class ResidentControl;
class StatusControl;
struct Settings;

// What the settings command of the tray menu (mnuSet) and of the status window (mnuSetup) works on.
struct SettingsCommandContext {
    Settings& settings;
    AppState& app;
    GroupwareSession& session;
    ResidentControl* resident = nullptr;
    StatusControl* status = nullptr;
    // EndProgram(mode) followed by the unloading of every window: the program ends. Mode 2 after a
    // change of server, 3 after other settings that need a restart.
    std::function<void(qint16 mode)> endProgram;
    // Optional: set up the dialog before it opens (tests answer its file chooser, for example).
    std::function<void(frmSetParameter& dialog)> prepareDialog;
};

// The settings command: stops the four periodic timers, shows the settings dialog modally, then
// either ends the program for the restart it asked for, or starts the timers again and, unless the
// dialog was cancelled, lets the status window take the new settings (UpdateAppearance, which also
// registers and reads the board at once).
void RunSettingsCommand(const SettingsCommandContext& context, QWidget* parent = nullptr);

} // namespace zelmora
