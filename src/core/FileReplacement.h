#pragma once

#include <QByteArray>
#include <QString>

namespace zelmora {

// Replaces the file at `path` with `content` as one step: the content goes to a temporary file
// beside it, is flushed to disk and then renamed over the old file, so a failure or a kill at any
// moment leaves either the old or the new file whole.
//
// The new file keeps the old one's mode and, where the process may, its owner and group (a data
// folder may be shared by several log-on names); a file that did not exist is created 0600, as it
// holds scrambled passwords. A read-only file is replaced when its folder allows it. A symbolic
// link at `path` is refused, never followed. False on any failure, with the reason in `why`.
bool replaceFileContent(const QString& path, const QByteArray& content, QString* why = nullptr);

} // namespace zelmora
