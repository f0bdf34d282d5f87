#pragma once

#include <QString>

class QWidget;

namespace zelmora::ui {

// The desktop's chooser of a file to open, starting in `folder` with `file` selected. Qt's own
// chooser (no desktop one) fits its size, type and date columns to their texts, so a Japanese file
// type or date is never cut short. Empty when the user cancelled.
QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder, const QString& file,
                         const QString& filter);

} // namespace zelmora::ui
