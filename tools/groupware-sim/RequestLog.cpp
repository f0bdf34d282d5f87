#include "RequestLog.h"

#include <QJsonDocument>

namespace zelmora::sim {

bool RequestLog::open(const QString& path, QString* error) {
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

void RequestLog::write(const QJsonObject& entry) {
    std::lock_guard lock(m_mutex);
    if (!m_file.isOpen())
        return;
    m_file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    m_file.flush();
}

} // namespace zelmora::sim
