#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace zelmora::test {

// Debian's tinyproxy, run in the foreground on a free loopback port with a generated
// configuration, for tests of the manual proxy mode. Stopped when destroyed.
class TinyProxy {
public:
    static constexpr const char* kBinary = "/usr/bin/tinyproxy";

    TinyProxy() = default;
    ~TinyProxy();
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;

    static bool available();
    // Starts the proxy (on `port`, or on a free one when it is 0; again on the same port after stop())
    // and waits until it accepts connections; false (with error()) otherwise.
    bool start(quint16 port = 0);
    void stop();

    quint16 port() const { return m_port; }
    // Everything the proxy logged so far (one line per connection and request).
    QString log() const;
    QString error() const { return m_error; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace zelmora::test
