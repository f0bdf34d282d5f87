#pragma once

#include <QList>
#include <QString>

namespace zelmora {

// Kinds of page the deferred opening knows (`intOpenPageType`).
enum OpenPageType : qint16 {
    OpenTopPageType = 0,   // the groupware top page, logged in when a user is
    OpenGroupwarePage = 1, // a groupware page with automatic login
    OpenPlainAddress = 2,  // any address, no login
};

// The groupware pages of the tray's "サイボウズ起動" submenu.
struct TrayPageItem {
    const char* name; // control name
    QString caption;
    qint16 kind;
    QString page;      // value of "?page=", empty for the top page
    bool appendUserId; // "&id=" + the user id follows the page
};

const QList<TrayPageItem>& trayPageItems();

// Address stored for an item of kind 1: program URL + "?page=" + page (+ "&id=" + user id).
QString trayPageAddress(const TrayPageItem& item, const QString& programUrl, qint32 userId);

} // namespace zelmora
