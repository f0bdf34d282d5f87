#include "ui/DeferredCall.h"

namespace zelmora::ui {

DeferredCall::DeferredCall(int intervalMs, std::function<void()> function, QObject* parent)
    : QObject(parent), m_function(std::move(function)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_function)
            m_function();
    });
}

void DeferredCall::start() {
    m_timer.start();
}

void DeferredCall::stop() {
    m_timer.stop();
}

} // namespace zelmora::ui
