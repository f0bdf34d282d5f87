#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zelmora::test {

// Pages no groupware server should send, built to find readers that crash, recurse without bound
// or take time out of proportion to the page.
struct HostilePage {
    QString name;
    QString text;
};

// A whereabouts board of `rows` members in the server's layout.
QString boardWithRows(int rows);
// The fixture pages of every reader, repeated up to `chars` characters.
QString hugePage(qsizetype chars);
// Tags opened `depth` deep and never closed, each reader's start markers among them.
QString deeplyNested(int depth);
// Start markers without their ends, and tags that never reach their ">": the worst case of
// patterns such as "< *td[^>]*>".
QString unclosedMarkers(qsizetype chars);
// Bytes that are no cp932 (lead bytes without a trail byte, unassigned codes) mixed into the
// fixture pages, decoded as the transport decodes a page.
QString invalidCp932(qsizetype bytes);

// All of the above at the sizes the hardening tests use.
QList<HostilePage> hostilePages();

} // namespace zelmora::test
