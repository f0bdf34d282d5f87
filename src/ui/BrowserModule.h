#pragma once

#include "ui/BrowserHost.h"

#include <QString>
#include <QStringList>

namespace zelmora::ui {

// File name of the module that holds the browser windows and links the web engine.
QString browserModuleFileName();

// Where the module is looked for: beside the program (build tree) and in the program's library
// folder of an installation (../lib/zelmora).
QStringList browserModuleCandidates(const QString& applicationDir);

// The first existing candidate; empty when none exists.
QString findBrowserModule(const QString& applicationDir);

// Loads the module (once per process) and makes a browser host from it. Before the module is
// loaded the application-wide OpenGL context that the web engine shares is created, which the
// engine otherwise needs from the start of the program. Null, with `error` set, on failure.
std::unique_ptr<BrowserHost> loadBrowserModule(QString* error = nullptr);

} // namespace zelmora::ui

// The module's one entry point, resolved by name.
extern "C" {
using ZelmoraCreateBrowserHost = zelmora::ui::BrowserHost* (*)();
}
