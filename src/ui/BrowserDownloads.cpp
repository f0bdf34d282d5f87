#include "ui/BrowserDownloads.h"

#include "core/Logging.h"
#include "ui/BrowserWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>

namespace zelmora::ui {

namespace {

QString desktopChooser(QWidget* parent, const QString& suggestedPath) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("名前を付けて保存"), suggestedPath);
}

QString kilobytes(qint64 bytes) {
    return QString::number((bytes + 1023) / 1024);
}

} // namespace

BrowserDownloads::BrowserDownloads(WindowOfPage windowOf, QObject* parent)
    : QObject(parent), m_windowOf(std::move(windowOf)), m_chooser(desktopChooser) {}

void BrowserDownloads::onDownloadRequested(QWebEngineDownloadRequest* download) {
    BrowserWindow* window = m_windowOf ? m_windowOf(download->page()) : nullptr;
    // A link that opens its file in a new window leaves that window empty: the download belongs
    // to the window the link was in, and the empty one goes.
    QPointer<BrowserWindow> empty;
    if (window && window->isEmpty() && window->opener()) {
        empty = window;
        window = window->opener();
    }
    const auto closeEmpty = [empty] {
        if (empty)
            empty->close();
    };
    const QString suggested = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    const QString path = m_chooser(window, suggested);
    if (path.isEmpty()) {
        download->cancel();
        if (window)
            window->showNotice(QStringLiteral("ダウンロードを中止しました: %1").arg(download->downloadFileName()));
        closeEmpty();
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    qCInfo(lcNet).noquote() << "browser download of" << download->url().host() << "to" << target.absoluteFilePath();
    follow(download, window);
    download->accept();
    closeEmpty();
}

void BrowserDownloads::follow(QWebEngineDownloadRequest* download, BrowserWindow* window) {
    QPointer<BrowserWindow> shown(window);
    const QString path = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [download, shown, path] {
        if (!shown)
            return;
        const qint64 total = download->totalBytes();
        shown->showNotice(
            total > 0 ? QStringLiteral("ダウンロード中: %1 (%2 / %3 KB)")
                            .arg(path, kilobytes(download->receivedBytes()), kilobytes(total))
                      : QStringLiteral("ダウンロード中: %1 (%2 KB)").arg(path, kilobytes(download->receivedBytes())));
    });
    connect(
        download, &QWebEngineDownloadRequest::stateChanged, this,
        [download, shown, path](QWebEngineDownloadRequest::DownloadState state) {
            QString text;
            switch (state) {
            case QWebEngineDownloadRequest::DownloadCompleted:
                text = QStringLiteral("ダウンロードが完了しました: %1").arg(path);
                break;
            case QWebEngineDownloadRequest::DownloadCancelled:
                text = QStringLiteral("ダウンロードを中止しました: %1").arg(path);
                break;
            case QWebEngineDownloadRequest::DownloadInterrupted:
                text =
                    QStringLiteral("ダウンロードに失敗しました: %1 (%2)").arg(path, download->interruptReasonString());
                break;
            default:
                return;
            }
            qCInfo(lcNet).noquote() << "browser download" << state << path;
            if (shown)
                shown->showNotice(text);
        });
}

} // namespace zelmora::ui
