#include "commands.h"

QString catalogueUsage()
{
    return QString();
}

int runCatalogueCommand(const QStringList &)
{
    return ExitUsage;
}
