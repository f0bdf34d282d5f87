#include "ui/FileChooser.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

namespace zelmora::ui {

namespace {
void fitDetailColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!view || !model)
        return;
    const auto fit = [&dialog, view] {
        int extra = 0;
        for (int column = 1; column < view->header()->count(); ++column) {
            const int before = view->columnWidth(column);
            view->resizeColumnToContents(column);
            extra += qMax(0, view->columnWidth(column) - before);
        }
        // The name column keeps its room: the window grows by what the other columns took.
        if (extra > 0 && dialog.isVisible())
            dialog.resize(dialog.width() + extra, dialog.height());
    };
    QObject::connect(model, &QFileSystemModel::directoryLoaded, view, fit, Qt::QueuedConnection);
}
} // namespace

QString chooseFileToOpen(QWidget* parent, const QString& title, const QString& folder, const QString& file,
                         const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!file.isEmpty())
        dialog.selectFile(file);
    fitDetailColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace zelmora::ui
