#include "resourcepaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QUARMEL_INSTALLED_DATA
#define QUARMEL_INSTALLED_DATA "../share/quarmel-inventory"
#endif

namespace {
// "../grafika/name" -> the same file in the working folder's sibling, the executable's sibling, or the
// installed data folder, whichever exists first; the working-folder path when none does.
QString findResource(const QString &folder, const QString &name)
{
    const QString relative = QStringLiteral("../") + folder + name;
    if (QFileInfo::exists(relative))
        return relative;
    const QString executableDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString candidates[] = {
        executableDir + relative,
        executableDir + QStringLiteral(QUARMEL_INSTALLED_DATA "/") + folder + name,
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return QDir::cleanPath(candidate);
    }
    return relative;
}
} // namespace

QString grafikaPath(const QString &name)
{
    return findResource(QStringLiteral("grafika/"), name);
}

QString translationsPath()
{
    return findResource(QStringLiteral("translations"), QString());
}
