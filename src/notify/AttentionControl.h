#pragma once

#include "core/Settings.h"
#include "ui/WindowRequests.h"

#include <QObject>
#include <QPointer>

namespace zelmora {

class GroupwareSession;
class frmAttention;

namespace ui {
class DesktopNotifier;
}

// Opens the notice window for the status refresh, one window at a time: a refresh that finds it
// open only updates its intInformationType and brings it forward, without ticking the boxes
// again and without a second sound. Each opening also posts one desktop notification when the
// desktop has a notification service; clicking it acts as the window's "ｻｲﾎﾞｳｽﾞOffice4へ".
class AttentionControl : public QObject {
    Q_OBJECT
public:
    AttentionControl(const Settings& settings, const GroupwareSession& session, QObject* parent = nullptr);
    ~AttentionControl() override;

    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }
    // The notifier of desktop notifications: by default one of its own (give it the tray icon for
    // desktops without a notification service); nullptr switches them off.
    ui::DesktopNotifier* notifier() const;
    void setNotifier(ui::DesktopNotifier* notifier);

    // ShowData's opening of the notice window with the waiting kinds.
    void Show(quint16 informationType);

    // The open notice window, or nullptr.
    frmAttention* window() const;
    bool isOpen() const { return window() != nullptr; }

private:
    void postDesktopNotification(frmAttention* window);

    const Settings& m_settings;
    const GroupwareSession& m_session;
    PageOpener m_pageOpener;
    QPointer<ui::DesktopNotifier> m_notifier;
    QPointer<frmAttention> m_window;
};

} // namespace zelmora
