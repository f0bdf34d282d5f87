#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>

// The desktop program's ways of reading the groupware's pages, written out with its exact patterns,
// so that the server's pages are checked against what the readers match and not against the server's
// own idea of them.
namespace zelmora::test::reading {

// Case-insensitive; "." stops at CR and LF.
QRegularExpression rx(const QString& pattern);
QString removeBreaks(const QString& text);
// Cut from the first start match to the first end match after it; flag 1 keeps the start, flag 2
// the end. Empty when either is missing.
QString cutBetween(const QString& text, const QString& start, const QString& end, int flags = 0);
QStringList cutAllBetween(const QString& text, const QString& start, const QString& end, int flags = 0);
// Pieces around every match; empty list when the pattern does not occur.
QStringList split(const QString& text, const QString& pattern);
// (value, text) of the options of the select element named `name`.
QList<QPair<QString, QString>> selectOptions(const QString& page, const QString& name);
QString decodeEntities(const QString& text);
// "usable page" classification of fetched pages.
bool isValidPage(const QString& page);

struct BoardRow {
    qint32 id = 0;
    QString name;
    bool memo = false;
    QString position;
    QString updateText;
    QDateTime updated;
    QString contact;
};
// The board of one group, read the way the status window reads it; `ok` false when the page has no text.
QList<BoardRow> readBoard(const QString& page, const QString& program, bool* ok = nullptr);
// The own entry from the entry page.
BoardRow readOwnEntry(const QString& page);

struct DirectoryUser {
    qint32 id = 0;
    QString name;
    QList<qint32> groups;
};
// Members listed by member links, one group page at a time.
void collectMembers(const QString& groupPage, const QString& program, qint32 groupId, QList<DirectoryUser>& users);

// Date and time as the pages write them, with the weekday already dropped.
QDateTime readDateTime(const QString& text);

} // namespace zelmora::test::reading
