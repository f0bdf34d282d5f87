#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace zelmora {

// Ordered name/value pairs of a query or a form body, encoded as a browser submits a Shift_JIS
// form: cp932 bytes, percent-encoded, space as "+". Values may hold "&", "=", "+", "%" or line
// breaks; each arrives at the server as typed. Names and order are kept as added.
class FormData {
public:
    FormData() = default;

    FormData& add(const QString& name, const QString& value);
    FormData& add(const QString& name, qint64 value);

    bool isEmpty() const { return m_fields.isEmpty(); }
    const QList<QPair<QString, QString>>& fields() const { return m_fields; }

    // "name=value&name=value". `ok` becomes false when a character has no cp932 code (it is sent
    // as "?"); callers must not send such a form.
    QByteArray encoded(bool* ok = nullptr) const;

    // `url` + "?" + encoded(), the form of every GET with a query.
    QString appendedTo(const QString& url, bool* ok = nullptr) const;

private:
    QList<QPair<QString, QString>> m_fields;
};

} // namespace zelmora
