#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace zelmora::sim {

// Fields of a query string or of an application/x-www-form-urlencoded body. Values arrive either
// percent-encoded cp932 (as a browser sends them) or as raw cp932 bytes (as the Windows program
// sent them); both decode to the same text.
class FormFields {
public:
    FormFields() = default;
    explicit FormFields(QByteArrayView encoded);

    // Appends the fields of another query or body (query first, then body, as CGI merges them).
    void append(const FormFields& other) { m_fields += other.m_fields; }

    bool contains(const QString& name) const;
    // Value of the first field of that name (names compared without regard to case), or `fallback`.
    QString value(const QString& name, const QString& fallback = {}) const;
    qint32 intValue(const QString& name, qint32 fallback = -1) const;

    const QList<QPair<QString, QString>>& list() const { return m_fields; }
    bool isEmpty() const { return m_fields.isEmpty(); }

private:
    QList<QPair<QString, QString>> m_fields;
};

} // namespace zelmora::sim
