#include "net/FormData.h"

#include "core/Cp932.h"

namespace zelmora {

FormData& FormData::add(const QString& name, const QString& value) {
    m_fields.append({name, value});
    return *this;
}

FormData& FormData::add(const QString& name, qint64 value) {
    return add(name, QString::number(value));
}

QByteArray FormData::encoded(bool* ok) const {
    QByteArray out;
    bool good = true;
    for (const auto& [name, value] : m_fields) {
        bool nameOk = true;
        bool valueOk = true;
        if (!out.isEmpty())
            out.append('&');
        out.append(cp932::formEncode(name, &nameOk));
        out.append('=');
        out.append(cp932::formEncode(value, &valueOk));
        good = good && nameOk && valueOk;
    }
    if (ok)
        *ok = good;
    return out;
}

QString FormData::appendedTo(const QString& url, bool* ok) const {
    return url + QLatin1Char('?') + QString::fromLatin1(encoded(ok));
}

} // namespace zelmora
