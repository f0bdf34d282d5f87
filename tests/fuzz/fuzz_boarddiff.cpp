// The board reader against the step-by-step pipeline it replaces: any difference in the records is
// a fault of the reader.
#include "ReferenceBoard.h"
#include "core/Clock.h"
#include "groupware/Board.h"
#include "core/Cp932.h"

#include <QTimeZone>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QString describe(const QList<zelmora::MemberRecord>& members, bool result) {
    QString text = result ? QStringLiteral("true\n") : QStringLiteral("false\n");
    for (const zelmora::MemberRecord& r : members)
        text += QStringLiteral("%1|%2|%3|%4|%5|%6%7%8\n")
                    .arg(r.id)
                    .arg(r.name, r.position,
                         r.updated.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('@') +
                             QString::number(r.updated.toMSecsSinceEpoch()),
                         r.contact)
                    .arg(int(r.memo))
                    .arg(int(r.autoRegistered))
                    .arg(int(r.present));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zelmora::Clock::setFixed(QDateTime(QDate(2002, 6, 3), QTime(10, 0)));
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // cp932 as the server sends it; UTF-8 for the markers and their capitals; raw UTF-16 for lone
    // surrogates.
    const QString pages[] = {zelmora::cp932::decode(bytes), QString::fromUtf8(bytes),
                             QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2))};
    for (const QString& page : pages) {
        QList<zelmora::MemberRecord> fast;
        QList<zelmora::MemberRecord> slow;
        const QString a = describe(fast, zelmora::readPositionList(page, QStringLiteral("office.exe"), fast));
        const QString b =
            describe(slow, zelmora::reference::readPositionList(page, QStringLiteral("office.exe"), slow));
        // Read again after the same page with one character less, taking over the unchanged pieces.
        zelmora::BoardMemo::Entry last{
            {page, QStringLiteral("office.exe"), zelmora::Clock::today(), QTimeZone::systemTimeZone()}, {}, {}};
        last.key.page.remove(page.size() / 2, 1);
        zelmora::readPositionList(last.key, last.members, nullptr, &last.pieces);
        zelmora::BoardMemo::Key key = last.key;
        key.page = page;
        QList<zelmora::MemberRecord> again;
        const QString c = describe(again, zelmora::readPositionList(key, again, &last, nullptr));
        if (a != b || c != b) {
            std::fprintf(stderr, "reader:\n%s\nread again:\n%s\nstep by step:\n%s\n", qPrintable(a), qPrintable(c),
                         qPrintable(b));
            std::abort();
        }
    }
    return 0;
}
