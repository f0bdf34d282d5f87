#pragma once

namespace zelmora::ui {

// Routes zelmora::showMessage() to real modal QMessageBox windows. Called once by the desktop
// program at start; tests leave it out and install an answerer instead.
void installMessageBoxHandler();

} // namespace zelmora::ui
