#include "dialogs/SettingsCommand.h"

#include "core/AppState.h"
#include "core/ResidentControl.h"
#include "dialogs/SetParameterLogic.h"

namespace zelmora {

void RunSettingsCommand(const SettingsCommandContext& context, QWidget* parent) {
    if (context.resident)
        context.resident->SetPeriodicTimersEnabled(false);
    {
        frmSetParameter dialog(context.settings, context.app, context.session, parent);
        dialog.bflgFirstSetup = false;
        dialog.setResidentControl(context.resident);
        if (context.prepareDialog)
            context.prepareDialog(dialog);
        dialog.exec();
    }
    if (const std::optional<qint16> mode = EndModeForRestart(context.app.restartRequest)) {
        if (context.endProgram)
            context.endProgram(*mode);
        return;
    }
    if (context.resident)
        context.resident->SetPeriodicTimersEnabled(true);
    if (!context.app.dialogCancelled && context.status)
        context.status->UpdateAppearance();
}

} // namespace zelmora
