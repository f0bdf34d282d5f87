#pragma once

#include "Organisation.h"

#include <QDateTime>
#include <QString>

namespace zelmora::sim {

// Pieces shared by every page of the imitated groupware: head, application bar, footer, login form,
// escaping and date formats. Pages are built as text with CR LF line ends, like the real CGI.
class PageChrome {
public:
    static constexpr const char* kVersionText = "サイボウズ(R) Office Version 4.0.3";

    // The groupware escapes only these three characters; "&" is written as it is.
    static QString escape(const QString& text);

    static QString begin(const QString& title);
    static QString end();
    // Icons of the applications in `apps`, each a link whose target is the program name with the single
    // query key "page" (the form the desktop program looks for).
    static QString applicationBar(const QString& program, quint16 apps);
    static QString heading(const QString& text, const QString& userName);
    // Login form: group selector (reloads the page) and the members of `groupId` (all for 0).
    static QString loginForm(const Organisation& org, const QString& program, qint32 groupId,
                             const QString& message = {});

    // "2024/12/06 (金) 10:15", the form of the whereabouts pages.
    static QString updateTime(const QDateTime& t);
    // "12月6日(金)".
    static QString dayCaption(QDate day);
    static QString weekday(QDate day);

    // Joins lines with CR LF, ending with one.
    static QString lines(const QStringList& l);
};

} // namespace zelmora::sim
