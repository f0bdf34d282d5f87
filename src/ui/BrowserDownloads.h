#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWidget;

namespace zelmora::ui {

class BrowserWindow;

// Downloads of the browser windows (mail attachments, bulletin files): each asks where to save
// with the desktop's file chooser, then shows its progress and its result at the foot of the
// window it came from. Nothing is saved without the user's choice.
class BrowserDownloads : public QObject {
    Q_OBJECT
public:
    // The file chooser: the path to save at, or empty when the user cancelled.
    using SaveChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
    using WindowOfPage = std::function<BrowserWindow*(QWebEnginePage* page)>;

    explicit BrowserDownloads(WindowOfPage windowOf, QObject* parent = nullptr);

    // Replaces the desktop's chooser (tests, where nobody answers it).
    void setSaveChooser(SaveChooser chooser) { m_chooser = std::move(chooser); }

    void onDownloadRequested(QWebEngineDownloadRequest* download);

private:
    void follow(QWebEngineDownloadRequest* download, BrowserWindow* window);

    WindowOfPage m_windowOf;
    SaveChooser m_chooser;
};

} // namespace zelmora::ui
