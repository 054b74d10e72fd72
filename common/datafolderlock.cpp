#include "datafolderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDataFolderLock, "datafolderlock")

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DataFolderLock", text);
}
} // namespace

DataFolderLock::DataFolderLock(const QString &folder)
    : dataFolder(QDir(folder).absolutePath()), file(QDir(folder).absoluteFilePath(QLatin1String(fileName)))
{
    // A lock is stale only when its process is gone (or the number now belongs to another program), never
    // by its age: a window left open over the weekend still holds its folder.
    file.setStaleLockTime(0);
}

DataFolderLock::Result DataFolderLock::take()
{
    if (isTaken())
        return result;
    if (file.tryLock(0)) {
        result = Result::Taken;
    } else {
        result = file.error() == QLockFile::LockFailedError ? Result::Busy : Result::Failed;
        // A busy folder is told to the user by the caller; a lock that cannot be made at all only here.
        if (result == Result::Failed)
            qCWarning(lcDataFolderLock, "%s", qUtf8Printable(reason()));
    }
    return result;
}

bool DataFolderLock::isTaken() const
{
    return file.isLocked();
}

QString DataFolderLock::holder() const
{
    qint64 pid = 0;
    QString host;
    QString program;
    if (!file.getLockInfo(&pid, &host, &program))
        return QString();
    if (program.isEmpty())
        program = tr("a program");
    return tr("%1 (process %2) on %3").arg(program).arg(pid).arg(host);
}

QString DataFolderLock::reason() const
{
    switch (file.error()) {
    case QLockFile::NoError:
        return QString();
    case QLockFile::LockFailedError: {
        const QString who = holder();
        return who.isEmpty() ? tr("The data folder %1 is in use by another program.").arg(dataFolder)
                             : tr("The data folder %1 is in use by %2.").arg(dataFolder, who);
    }
    case QLockFile::PermissionError:
        return tr("The data folder %1 cannot be locked: Permission denied").arg(dataFolder);
    case QLockFile::UnknownError:
        break;
    }
    return tr("The data folder %1 cannot be locked.").arg(dataFolder);
}
