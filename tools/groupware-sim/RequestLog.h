#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

#include <mutex>

namespace zelmora::sim {

// One JSON object per line for every request served, flushed at once so that a test can read the
// file while the server runs.
class RequestLog {
public:
    bool open(const QString& path, QString* error);
    bool isOpen() const { return m_file.isOpen(); }
    void write(const QJsonObject& entry);

private:
    std::mutex m_mutex;
    QFile m_file;
};

} // namespace zelmora::sim
