#include "savefile.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcSaveFile, "savefile")

namespace {
bool fail(QSaveFile &file, const QString &why, QString *reason)
{
    qCWarning(lcSaveFile, "Unable to save %s: %s", qUtf8Printable(file.fileName()), qUtf8Printable(why));
    file.cancelWriting();
    if (reason)
        *reason = why;
    return false;
}
} // namespace

bool writeFileWhole(const QString &path, const std::function<bool(QIODevice &)> &write, QString *reason,
                    QIODevice::OpenMode mode)
{
    QSaveFile file(path);
    if (!file.open(mode | QIODevice::WriteOnly))
        return fail(file, file.errorString(), reason);
    if (!write(file)) {
        // A writer that gave up without a device error (a stream that failed on its own) still deserves a
        // reason the user can read.
        const QString why = file.error() == QFileDevice::NoError
                                ? QCoreApplication::translate("SaveFile", "The data could not be written.")
                                : file.errorString();
        return fail(file, why, reason);
    }
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        qCWarning(lcSaveFile, "Unable to save %s: %s", qUtf8Printable(path),
                  qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

bool writeFileWhole(const QString &path, const QByteArray &bytes, QString *reason, QIODevice::OpenMode mode)
{
    return writeFileWhole(
        path, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); }, reason, mode);
}
