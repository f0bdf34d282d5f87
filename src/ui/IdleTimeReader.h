#pragma once

#include <QString>

#include <optional>

namespace zelmora::ui {

// One way of reading how long the session has had no input.
class IdleTimeReader {
public:
    virtual ~IdleTimeReader() = default;
    virtual QString name() const = 0;
    // Seconds since the last input, or nullopt when the reader cannot answer.
    virtual std::optional<qint64> idleSeconds() = 0;
};

} // namespace zelmora::ui
