#include "support/TestFiles.h"

#include "core/Cp932.h"

#include <QFile>
#include <QTest>

namespace zelmora::test {

QByteArray fixtureBytes(const QString& relativePath) {
    return readFile(QStringLiteral(ZELMORA_FIXTURE_DIR "/") + relativePath);
}

QString fixtureText(const QString& relativePath) {
    return cp932::decode(fixtureBytes(relativePath));
}

QByteArray crlfCp932(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        out += cp932::encode(line);
        out += "\r\n";
    }
    return out;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace zelmora::test
