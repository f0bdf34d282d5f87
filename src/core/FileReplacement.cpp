#include "core/FileReplacement.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

namespace {

bool fail(QString* why, const QString& reason) {
    if (why)
        *why = reason;
    return false;
}

QString systemError(const char* step) {
    return QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
}

bool writeAll(int fd, const QByteArray& content) {
    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) // a short write is a full disk or a file size limit
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Owner and group of the old file go to the new one; as an ordinary user only a group the user is
// a member of can be kept, which is all a shared folder needs.
void keepOwnership(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
        // Neither may be kept: the file belongs to the writer, as a new one would.
    }
}

} // namespace

bool replaceFileContent(const QString& path, const QByteArray& content, QString* why) {
    const QByteArray target = QFile::encodeName(path);
    struct stat old {};
    const bool existed = ::lstat(target.constData(), &old) == 0;
    if (!existed && errno != ENOENT)
        return fail(why, systemError("lstat"));
    if (existed && S_ISLNK(old.st_mode))
        return fail(why, QStringLiteral("is a symbolic link, not followed"));
    if (existed && !S_ISREG(old.st_mode))
        return fail(why, QStringLiteral("is not a regular file"));

    const QFileInfo info(path);
    QByteArray temporary =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC); // created 0600
    if (fd < 0)
        return fail(why, systemError("create temporary file"));
    auto abandon = [&](const char* step) {
        const QString reason = systemError(step);
        ::close(fd);
        ::unlink(temporary.constData());
        return fail(why, reason);
    };
    if (!writeAll(fd, content))
        return abandon("write");
    if (existed) {
        keepOwnership(fd, old);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return abandon("chmod");
    }
    if (::fsync(fd) != 0)
        return abandon("fsync");
    if (::close(fd) != 0) {
        const QString reason = systemError("close");
        ::unlink(temporary.constData());
        return fail(why, reason);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const QString reason = systemError("rename");
        ::unlink(temporary.constData());
        return fail(why, reason);
    }
    return true;
}

} // namespace zelmora
