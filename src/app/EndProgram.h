#pragma once

#include "core/EndPosition.h"
#include "core/SettingsFile.h"

#include <QSize>

namespace zelmora {

struct AppState;
struct Settings;
class GroupwareSession;

// Ways of ending the program (the mode of EndProgram).
enum EndMode : qint16 {
    EndNormal = 0,            // with the end-of-day action
    EndIgnoringAutomatic = 1, // no automatic registration of any kind
    EndServerChanged = 2,     // after the server settings changed: common part only, directory dropped
    EndRestart = 3,           // after other settings that need a restart
    EndEmergency = 4,         // data needed at start-up was missing: nothing is saved
};

// What EndProgram asks of the windows; absent while the program is still starting.
class EndProgramHost {
public:
    virtual ~EndProgramHost() = default;
    // Stops the four periodic timers (board, registration, alarm, mouse).
    virtual void StopPeriodicTimers() = 0;
    // ASK: shows the exit dialog modally; it posts the entry itself.
    virtual void AskEndPosition() = 0;
    // Position and column widths of the status window into the settings, when it is shown.
    virtual void StoreStatusGeometry() = 0;
    // Screen size in twips for the settings writer (invalid: positions kept as they are).
    virtual QSize screenTwips() const = 0;
};

struct EndProgramState {
    Settings& settings;
    AppState& app;
    GroupwareSession& session;
};

// The one procedure behind every exit. It stops the timers, runs the end-of-day action of a
// normal exit, stores the window geometry, rewrites the settings file and saves (or drops) the
// user directory as the mode says. Ending the program itself is the caller's.
void EndProgram(qint16 mode, const EndProgramState& state, EndProgramHost* host);

// The entry the exit dialog (ASK) or the AUTO setting posts for the logged-in user; no mark.
void PostEndPosition(const EndProgramState& state, const EndPositionEntry& entry);

// The settings writer's view of the running program.
SettingsContext settingsContextFor(const EndProgramState& state, QSize screenTwips);

} // namespace zelmora
