#pragma once

#include <QLoggingCategory>

// Support logging, off by default. Switch it on from the environment, for example
//   QT_LOGGING_RULES="zelmora.*=true" zelmora
// Nothing logged here may contain a password: log user ids, URLs without the login query's
// password, and decisions.
Q_DECLARE_LOGGING_CATEGORY(lcNet)          // every request and its outcome
Q_DECLARE_LOGGING_CATEGORY(lcRegistration) // every registration decision
Q_DECLARE_LOGGING_CATEGORY(lcApp)          // start-up, launch steps, exit, message boxes
Q_DECLARE_LOGGING_CATEGORY(lcStatus)       // the status window's refreshes: title and rows shown
Q_DECLARE_LOGGING_CATEGORY(lcEventLoop)    // how long the event loop was kept from running
Q_DECLARE_LOGGING_CATEGORY(lcPerf)         // wall and CPU time of each refresh of the status window
Q_DECLARE_LOGGING_CATEGORY(lcDiag)         // once a minute: memory, menu items, windows and objects held

namespace zelmora {

// Replaces the value of every "Password=" / "password=" field of a query or form body with "***",
// so that request lines can be logged.
QString redactPasswords(const QString& requestText);

// A form body (application/x-www-form-urlencoded, cp932) as readable text for the log: fields in
// their order, names and values decoded, the value of every password field as "***".
QString describeFormBody(const QByteArray& body);

} // namespace zelmora
