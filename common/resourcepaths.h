#pragma once

#include <QString>

// Pictures, the style sheet and translations. An installed program reads them only from its installed data
// folder, found relative to the executable (/usr/share/quarmel-inventory for /usr/bin), so that a folder
// named grafika or translations beside wherever the user starts it can never restyle or retranslate it. A
// build run from its build tree finds them in the build tree, the source tree, or beside the working folder.
QString grafikaPath(const QString &name);
QString translationsPath();

namespace ResourcePaths {
// `name` in the resource folder `folder` ("grafika/", "translations") for an executable in
// `executableDir`; a build tree is any executable folder inside `buildTree`. What grafikaPath and
// translationsPath use; apart for the tests.
QString find(const QString &folder, const QString &name, const QString &executableDir, const QString &buildTree,
             const QString &sourceTree);
} // namespace ResourcePaths
