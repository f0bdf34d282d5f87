#include "FormFields.h"

#include "core/Cp932.h"

namespace zelmora::sim {

FormFields::FormFields(QByteArrayView encoded) {
    for (const QByteArrayView part : encoded.toByteArray().split('&')) {
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf('=');
        const QByteArrayView name = eq < 0 ? part : part.first(eq);
        const QByteArrayView value = eq < 0 ? QByteArrayView() : part.sliced(eq + 1);
        m_fields.append({cp932::formDecode(name), cp932::formDecode(value)});
    }
}

bool FormFields::contains(const QString& name) const {
    for (const auto& f : m_fields)
        if (f.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString FormFields::value(const QString& name, const QString& fallback) const {
    for (const auto& f : m_fields)
        if (f.first.compare(name, Qt::CaseInsensitive) == 0)
            return f.second;
    return fallback;
}

qint32 FormFields::intValue(const QString& name, qint32 fallback) const {
    bool ok = false;
    const qint32 v = value(name).trimmed().toInt(&ok);
    return ok ? v : fallback;
}

} // namespace zelmora::sim
