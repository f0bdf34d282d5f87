#pragma once

#include <QString>

#include <optional>

namespace zelmora {

// Playing time of a RIFF WAVE file from its "fmt " and "data" chunks; nothing when the file is
// missing or is no WAVE file a player could time.
std::optional<qint64> WavDurationMs(const QString& path);

} // namespace zelmora
