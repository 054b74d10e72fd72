#include "resourcepaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef QUARMEL_INSTALLED_DATA
#define QUARMEL_INSTALLED_DATA "../share/quarmel-inventory"
#endif
#ifndef QUARMEL_BUILD_TREE
#define QUARMEL_BUILD_TREE ""
#endif
#ifndef QUARMEL_SOURCE_TREE
#define QUARMEL_SOURCE_TREE ""
#endif

namespace {
bool inside(const QString &folder, const QString &tree)
{
    if (tree.isEmpty())
        return false;
    const QString canonicalTree = QFileInfo(tree).canonicalFilePath();
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    if (canonicalTree.isEmpty() || canonicalFolder.isEmpty())
        return false;
    return canonicalFolder == canonicalTree || canonicalFolder.startsWith(canonicalTree + QLatin1Char('/'));
}
} // namespace

namespace ResourcePaths {

QString find(const QString &folder, const QString &name, const QString &executableDir, const QString &buildTree,
             const QString &sourceTree)
{
    const QString installed =
        QDir::cleanPath(executableDir + QStringLiteral("/" QUARMEL_INSTALLED_DATA "/") + folder + name);
    if (!inside(executableDir, buildTree))
        return installed;
    const QString relative = QStringLiteral("../") + folder + name;
    QStringList candidates = {QDir::cleanPath(executableDir + QLatin1Char('/') + relative)};
    if (!sourceTree.isEmpty())
        candidates.append(QDir::cleanPath(sourceTree + QLatin1Char('/') + folder + name));
    // A build started from a folder of the source tree, as developers have always run it.
    candidates.append(relative);
    for (const QString &candidate : qAsConst(candidates))
        if (QFileInfo::exists(candidate))
            return candidate;
    return candidates.first();
}

} // namespace ResourcePaths

QString grafikaPath(const QString &name)
{
    return ResourcePaths::find(QStringLiteral("grafika/"), name, QCoreApplication::applicationDirPath(),
                               QStringLiteral(QUARMEL_BUILD_TREE), QStringLiteral(QUARMEL_SOURCE_TREE));
}

QString translationsPath()
{
    return ResourcePaths::find(QStringLiteral("translations"), QString(), QCoreApplication::applicationDirPath(),
                               QStringLiteral(QUARMEL_BUILD_TREE), QStringLiteral(QUARMEL_SOURCE_TREE));
}
