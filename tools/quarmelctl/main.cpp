#include "commands.h"

#include "settings.h"

#include <QCoreApplication>

#include <cstdio>

namespace {
int usage()
{
    std::fprintf(stderr, "usage: quarmelctl COMMAND ...\n%s%s%s%s", qUtf8Printable(stationUsage()),
                 qUtf8Printable(catalogueUsage()), qUtf8Printable(inventoryUsage()),
                 qUtf8Printable(historyUsage()));
    return ExitUsage;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(applicationName));

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString group = args.takeFirst();
    if (group == QLatin1String("station"))
        return runStationCommand(args);
    if (group == QLatin1String("catalogue"))
        return runCatalogueCommand(args);
    if (group == QLatin1String("overview") || group == QLatin1String("takings"))
        return runInventoryCommand(group, args);
    if (group == QLatin1String("history"))
        return runHistoryCommand(args);
    return usage();
}
