#include "ui/DesktopIdleSource.h"

#include "ui/DBusIdleSource.h"
#include "ui/WaylandIdleSource.h"
#include "ui/XssIdleSource.h"

#include <QCursor>
#include <QGuiApplication>

namespace zelmora::ui {

namespace {
std::vector<std::unique_ptr<IdleTimeReader>> desktopReaders() {
    std::vector<std::unique_ptr<IdleTimeReader>> readers;
    readers.push_back(std::make_unique<DBusIdleSource>(DBusIdleSource::Kind::MutterIdleMonitor));
    if (isWaylandSession()) {
        // One notice a sample period at the latest, so the minute sampler never reads a stale idle time.
        readers.push_back(std::make_unique<WaylandIdleSource>(WaylandIdleSource::Protocol::ExtIdleNotify));
        readers.push_back(std::make_unique<WaylandIdleSource>(WaylandIdleSource::Protocol::KdeIdle));
    }
    readers.push_back(std::make_unique<DBusIdleSource>(DBusIdleSource::Kind::FreedesktopScreenSaver));
    readers.push_back(std::make_unique<XssIdleSource>());
    return readers;
}
} // namespace

DesktopIdleSource::DesktopIdleSource() : DesktopIdleSource(desktopReaders(), onRealX11(QGuiApplication::platformName())) {}

DesktopIdleSource::DesktopIdleSource(std::vector<std::unique_ptr<IdleTimeReader>> readers, bool cursorUsable)
    : m_readers(std::move(readers)), m_cursorUsable(cursorUsable) {}

DesktopIdleSource::~DesktopIdleSource() = default;

QString DesktopIdleSource::name() const {
    switch (m_choice) {
    case Choice::Reader:
        return m_reader->name();
    case Choice::Cursor:
        return QStringLiteral("X11 cursor position");
    case Choice::None:
        break;
    }
    return QString();
}

std::optional<qint64> DesktopIdleSource::selectReader() {
    m_choice = Choice::None;
    m_reader = nullptr;
    for (const auto& reader : m_readers) {
        if (const std::optional<qint64> seconds = reader->idleSeconds()) {
            m_choice = Choice::Reader;
            m_reader = reader.get();
            return seconds;
        }
    }
    if (m_cursorUsable)
        m_choice = Choice::Cursor;
    return std::nullopt;
}

bool DesktopIdleSource::select() {
    selectReader();
    return m_choice != Choice::None;
}

std::optional<QPoint> DesktopIdleSource::cursorPosition() {
    if (m_choice == Choice::None)
        selectReader();
    if (m_choice != Choice::Cursor)
        return std::nullopt;
    return QCursor::pos();
}

std::optional<qint64> DesktopIdleSource::sessionIdleSeconds() {
    if (m_choice == Choice::Reader) {
        if (const std::optional<qint64> seconds = m_reader->idleSeconds())
            return seconds;
    }
    if (m_choice == Choice::Cursor)
        return std::nullopt;
    // The reader in use stopped answering (its service went away): look again.
    return selectReader();
}

} // namespace zelmora::ui
