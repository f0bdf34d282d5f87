// Pattern helpers on arbitrary page text: no crash, no hang, and the pieces stay inside the text.
#include "core/Cp932.h"
#include "net/PatternUtils.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace zelmora;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int mode = data[0];
    const QByteArrayView bytes(data + 1, qsizetype(size - 1));
    QString text;
    if (mode & 32) {
        // Raw UTF-16 code units, lone surrogates included.
        text = QString(reinterpret_cast<const QChar*>(bytes.data()), bytes.size() / 2);
    } else {
        text = (mode & 1) ? QString::fromUtf8(bytes) : cp932::decode(bytes);
    }

    QStringList pieces;
    const qsizetype count = RegExpSplit(text, QStringLiteral(","), pieces);
    if (count < 0) {
        check(!text.contains(QLatin1Char(',')));
    } else {
        check(count == pieces.size());
        check(pieces.join(QLatin1Char(',')) == validUtf16(text));
    }
    RegExpSplit(text, QStringLiteral("\r\n|\n|\r"), pieces, true);

    const int flags = (mode >> 1) & 3;
    const qsizetype cuts =
        CutAllBetween(text, QStringLiteral("< *td[^>]*>"), QStringLiteral("< */td *>"), pieces, flags);
    check(cuts == pieces.size());
    qsizetype total = 0;
    for (const QString& piece : pieces) {
        total += piece.size();
    }
    // Without the kept matches the pieces are disjoint stretches of the text.
    check(flags != 0 || total <= text.size());
    check(CutBetweenEx(text, QStringLiteral("<a[^>]*>"), QStringLiteral("</a>"), flags).size() <= text.size());

    QList<SelectOption> options;
    const QString name = (mode & 8) ? QStringLiteral("gid") : QStringLiteral("Gro(up");
    check(GetSelectOptions(text, name, options) == options.size());
    for (const SelectOption& option : options) {
        check(option.value.size() + option.text.size() <= text.size());
    }
    check(DecodeEntities(text).size() <= text.size());
    RegExpReplace(text, QStringLiteral("<([a-z]+)[^>]*>"), QStringLiteral("[$1$2$$]"), true, (mode & 16) != 0);
    return 0;
}
