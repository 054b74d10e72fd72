#include "commands.h"

QString stationUsage()
{
    return QString();
}

int runStationCommand(const QStringList &)
{
    return ExitUsage;
}
