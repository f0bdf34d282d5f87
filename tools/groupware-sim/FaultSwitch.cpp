#include "FaultSwitch.h"

#include "FormFields.h"

#include "core/Cp932.h"

#include <chrono>

namespace zelmora::sim {

QString FaultSwitch::modeName(Mode mode) {
    switch (mode) {
    case Mode::None:
        return QStringLiteral("none");
    case Mode::Hang:
        return QStringLiteral("hang");
    case Mode::Drop:
        return QStringLiteral("drop");
    case Mode::Status:
        return QStringLiteral("status");
    case Mode::ErrorPage:
        return QStringLiteral("errorpage");
    case Mode::Licence:
        return QStringLiteral("licence");
    case Mode::Trickle:
        return QStringLiteral("trickle");
    }
    return {};
}

bool FaultSwitch::set(const QByteArray& query, QString* error) {
    const FormFields f(query);
    Fault fault;
    const QString mode = f.value(QStringLiteral("mode"), QStringLiteral("none")).toLower();
    bool known = false;
    for (Mode m : {Mode::None, Mode::Hang, Mode::Drop, Mode::Status, Mode::ErrorPage, Mode::Licence, Mode::Trickle})
        if (mode == modeName(m)) {
            fault.mode = m;
            known = true;
        }
    if (!known) {
        *error = QStringLiteral("unknown mode \"%1\"").arg(mode);
        return false;
    }
    fault.status = f.intValue(QStringLiteral("code"), 500);
    if (fault.status < 100 || fault.status > 599) {
        *error = QStringLiteral("bad status code");
        return false;
    }
    fault.delayMs = qMax(0, f.intValue(QStringLiteral("delay"), 0));
    fault.remaining = f.intValue(QStringLiteral("count"), -1);
    fault.match = f.value(QStringLiteral("match"));
    set(fault);
    return true;
}

void FaultSwitch::set(const Fault& fault) {
    {
        std::lock_guard lock(m_mutex);
        m_fault = fault;
        ++m_generation;
    }
    m_released.notify_all();
}

QJsonObject FaultSwitch::describe() const {
    std::lock_guard lock(m_mutex);
    return QJsonObject{{QLatin1String("mode"), modeName(m_fault.mode)},
                       {QLatin1String("code"), m_fault.status},
                       {QLatin1String("delay"), m_fault.delayMs},
                       {QLatin1String("count"), m_fault.remaining},
                       {QLatin1String("match"), m_fault.match}};
}

FaultSwitch::Fault FaultSwitch::take(const QByteArray& target, const QByteArray& body) {
    std::lock_guard lock(m_mutex);
    if (m_fault.remaining == 0)
        return {Mode::None, 500, 0, 0, {}};
    if (!m_fault.match.isEmpty()) {
        const QString text = cp932::formDecode(target) + QLatin1Char(' ') + cp932::formDecode(body);
        if (!text.contains(m_fault.match))
            return {Mode::None, 500, 0, 0, {}};
    }
    if (m_fault.remaining > 0)
        --m_fault.remaining;
    return m_fault;
}

void FaultSwitch::hold() {
    std::unique_lock lock(m_mutex);
    const quint64 generation = m_generation;
    // A held request never gets an answer; ten minutes bounds a forgotten switch.
    m_released.wait_for(lock, std::chrono::minutes(10), [&] { return m_stopping || m_generation != generation; });
}

quint64 FaultSwitch::generation() const {
    std::lock_guard lock(m_mutex);
    return m_generation;
}

bool FaultSwitch::changedWithin(quint64 generation, int ms) {
    std::unique_lock lock(m_mutex);
    return m_released.wait_for(lock, std::chrono::milliseconds(ms),
                               [&] { return m_stopping || m_generation != generation; });
}

void FaultSwitch::release() {
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
    }
    m_released.notify_all();
}

void FaultSwitch::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_released.notify_all();
}

} // namespace zelmora::sim
