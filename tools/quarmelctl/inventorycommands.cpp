#include "commands.h"

QString inventoryUsage()
{
    return QString();
}

int runInventoryCommand(const QString &, const QStringList &)
{
    return ExitUsage;
}
