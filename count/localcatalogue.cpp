#include "localcatalogue.h"

#include "database.h"

#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLocalCatalogue, "localcatalogue")

namespace LocalCatalogue {

Opened open(Database &database, const QString &path)
{
    Opened opened;
    DocumentDamage damage;
    if (!database.loadFromFile(path, false, &damage))
        return opened;
    if (!damage.damaged) {
        opened.result = Opened::Loaded;
        return opened;
    }
    opened.result = Opened::Damaged;
    opened.damage = damage.toString();
    qCWarning(lcLocalCatalogue) << "Local database damaged:" << opened.damage;
    const QString copy = path + QStringLiteral(".damaged-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (QFile::copy(path, copy))
        opened.keptCopy = copy;
    return opened;
}

} // namespace LocalCatalogue
