#include "resourcepaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString besideWorkingFolderOrExecutable(const QString &relative)
{
    if (QFileInfo::exists(relative))
        return relative;
    const QString besideExecutable = QCoreApplication::applicationDirPath() + QLatin1Char('/') + relative;
    if (QFileInfo::exists(besideExecutable))
        return QDir::cleanPath(besideExecutable);
    return relative;
}
} // namespace

QString grafikaPath(const QString &name)
{
    return besideWorkingFolderOrExecutable(QStringLiteral("../grafika/") + name);
}

QString translationsPath()
{
    return besideWorkingFolderOrExecutable(QStringLiteral("../translations"));
}
