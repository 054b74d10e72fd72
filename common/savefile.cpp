#include "savefile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcSaveFile, "savefile")

namespace {
bool fail(const QString &path, const QString &why, QString *reason)
{
    qCWarning(lcSaveFile, "Unable to save %s: %s", qUtf8Printable(path), qUtf8Printable(why));
    if (reason)
        *reason = why;
    return false;
}

QString cannotWrite()
{
    return QCoreApplication::translate("SaveFile", "The data could not be written.");
}

QString deviceReason(const QFileDevice &file)
{
    return file.error() == QFileDevice::NoError ? cannotWrite() : file.errorString();
}
} // namespace

bool writeFileWhole(const QString &path, const std::function<bool(QIODevice &)> &write, QString *reason,
                    QIODevice::OpenMode mode)
{
    // The document is made in memory first, so that a writer that streams into the device never meets a
    // failing disk half-way: it only has to say whether it finished.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(mode | QIODevice::WriteOnly) || !write(buffer))
            return fail(path, cannotWrite(), reason);
    }
    return writeFileWhole(path, bytes, reason, mode);
}

bool writeFileWhole(const QString &path, const QByteArray &bytes, QString *reason, QIODevice::OpenMode mode)
{
    QSaveFile file(path);
    // Unbuffered, because QSaveFile flushes its buffer only when committing, and a flush that fails there
    // can still replace the old file with a cut-off one. Without the buffer each write reaches the system
    // at once, and a write cut short by the system is followed by one more, which brings its reason back
    // ("No space left on device") instead of a bare short count.
    if (!file.open((mode & QIODevice::Text) | QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(path, deviceReason(file), reason);
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            const QString why = deviceReason(file);
            file.cancelWriting();
            return fail(path, why, reason);
        }
        data += written;
        left -= written;
    }
    // Some file systems (network shares, quota-bound or thin ones) report a lost write only here; QSaveFile
    // syncs too but passes over the result.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return fail(path, why, reason);
    }
    if (!file.commit())
        return fail(path, deviceReason(file), reason);
    return true;
}

FileRead readFileWhole(const QString &path, qint64 limit, const QString &tooLarge, QByteArray *bytes,
                       QString *reason)
{
    bytes->clear();
    QFile file(path);
    if (!file.exists())
        return FileRead::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return FileRead::Failed;
    }
    if (file.size() > limit) {
        *reason = tooLarge;
        return FileRead::Failed;
    }
    *bytes = file.readAll();
    return FileRead::Read;
}
