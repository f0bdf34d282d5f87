#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelmora::test {

// Bytes of a file under tests/fixtures.
QByteArray fixtureBytes(const QString& relativePath);
// A fixture decoded from code page 932.
QString fixtureText(const QString& relativePath);

// Joins lines with CR LF (a final CR LF after the last line) and encodes them as code page 932,
// the form in which the Windows program wrote its data files.
QByteArray crlfCp932(const QStringList& lines);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

} // namespace zelmora::test
