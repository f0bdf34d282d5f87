#include "core/Clock.h"

#include <optional>

namespace zelmora {

namespace {
std::optional<QDateTime>& fixedMoment() {
    static std::optional<QDateTime> moment;
    return moment;
}
} // namespace

QDateTime Clock::now() {
    const auto& fixed = fixedMoment();
    return fixed ? *fixed : QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime& at) { fixedMoment() = at; }

void Clock::advance(qint64 seconds) {
    auto& fixed = fixedMoment();
    fixed = (fixed ? *fixed : QDateTime::currentDateTime()).addSecs(seconds);
}

void Clock::reset() { fixedMoment().reset(); }

bool Clock::isFixed() { return fixedMoment().has_value(); }

} // namespace zelmora
