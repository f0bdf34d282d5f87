#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zelmora {

// One running program per user and data folder. The first instance listens on a local socket
// named after the data folder, in the session's runtime folder ($XDG_RUNTIME_DIR) or else in a
// private folder of the user's, so that no other user can take the name first; a second start
// connects, checks that the peer is the same user, asks it to show its status window, and exits.
// Messages from another user's process are ignored.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the running instance. False when another instance answered
    // (it has been asked to come forward) or the socket could not be created.
    bool claim();
    // After claim() returned false: true when another instance was found (and asked to come
    // forward), false when this process could not listen (it may run on without the guard).
    bool otherInstanceAnswered() const { return m_otherAnswered; }

    QString serverName() const { return m_name; }

signals:
    // Another start of the program asked this instance to come forward.
    void activationRequested();

private:
    void onNewConnection();

    QString m_dataFolder;
    QString m_name;
    QLocalServer* m_server = nullptr;
    bool m_otherAnswered = false;
};

} // namespace zelmora
