#include "commands.h"

#include "store.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>

namespace {
int exitOf(const Store::Outcome &outcome)
{
    switch (outcome.result) {
    case Store::Result::Ok:
        return ExitOk;
    case Store::Result::Unreachable:
        return ExitUnreachable;
    case Store::Result::Refused:
        return ExitRefused;
    case Store::Result::Conflict:
        return ExitConflict;
    case Store::Result::NotConfigured:
    case Store::Result::Failed:
        break;
    }
    return ExitFailure;
}

int report(const QString &command, const Store::Outcome &outcome)
{
    if (!outcome.ok())
        std::fprintf(stderr, "quarmelctl %s: %s\n", qUtf8Printable(command), qUtf8Printable(outcome.reason));
    return exitOf(outcome);
}

// Connects to the store of QUARMEL_DB.
Store::Outcome connect(Store::Connection &connection)
{
    Store::ConnectionInfo info;
    const Store::Outcome configured = Store::ConnectionInfo::fromEnvironment(&info);
    if (!configured.ok())
        return configured;
    return connection.open(info);
}
} // namespace

int runSyncCommand(const QStringList &args)
{
    const QString command = QStringLiteral("sync");
    QString bar;
    if (args.size() == 3 && args.at(1) == QLatin1String("--bar") && !args.at(2).isEmpty())
        bar = args.at(2);
    else if (args.size() != 1)
        return std::fprintf(stderr, "usage:\n%s", qUtf8Printable(syncUsage())), ExitUsage;
    const QString dataFolder = args.at(0);
    if (!QFileInfo(dataFolder).isDir()) {
        std::fprintf(stderr, "quarmelctl sync: %s: not a folder\n", qUtf8Printable(dataFolder));
        return ExitFailure;
    }
    QString why;
    if (!bar.isEmpty() && !Store::validBarName(bar, &why)) {
        std::fprintf(stderr, "quarmelctl sync: %s\n", qUtf8Printable(why));
        return ExitUsage;
    }
    if (!holdDataFolder(command, dataFolder))
        return ExitBusy;
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    Store::Connection connection;
    const Store::Outcome connected = connect(connection);
    if (!connected.ok())
        return report(command, connected);
    const Store::SyncReport done = Store::sync(connection, dataFolder, bar);
    for (const QString &line : done.lines())
        std::printf("%s\n", qUtf8Printable(line));
    if (done.outcome.ok())
        std::printf("bar %s: %d counts sent, %d fetched\n", qUtf8Printable(done.bar), int(done.sentCounts.size()),
                    int(done.fetchedCounts.size()));
    if (done.barMissing)
        std::fprintf(stderr, "quarmelctl sync: name the bar with --bar NAME at the folder's first sync\n");
    return report(command, done.outcome);
}

int runChainHistory(const QString &dataFolder)
{
    const QString command = QStringLiteral("history");
    if (!QFileInfo(dataFolder).isDir()) {
        std::fprintf(stderr, "quarmelctl history: %s: not a folder\n", qUtf8Printable(dataFolder));
        return ExitFailure;
    }
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    Store::Connection connection;
    const Store::Outcome connected = connect(connection);
    if (!connected.ok())
        return report(command, connected);
    QList<Store::BarCounts> bars;
    const Store::Outcome read = Store::chain(connection, &bars);
    if (!read.ok())
        return report(command, read);
    const QByteArray out = chainCsv(bars);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return ExitOk;
}

QByteArray chainCsv(const QList<Store::BarCounts> &bars)
{
    // The local history's own lines, with the bar in front and the columns the chain compares.
    QByteArray out = "Bar;Table;From;To;Alcohol Sales;Other Items Sales;Total\n";
    for (const Store::BarCounts &bar : bars) {
        const QList<QByteArray> lines = History::csv(bar.counts).split('\n');
        for (int i = 1; i < lines.size(); ++i) {
            if (lines.at(i).isEmpty())
                continue;
            const QList<QByteArray> fields = lines.at(i).split(';');
            QByteArray name = bar.bar.toUtf8();
            if (name.contains(';') || name.contains('"'))
                name = '"' + name.replace('"', "\"\"") + '"';
            out += name + ';' + fields.mid(0, 6).join(';') + '\n';
        }
    }
    return out;
}

QString syncUsage()
{
    return QStringLiteral(
        "  sync DATA_FOLDER [--bar NAME]      send the folder's counts, catalogue rows, till matches and\n"
        "                                     costs to the shared store of QUARMEL_DB and fetch the\n"
        "                                     bar's others; --bar names the bar at the first sync;\n"
        "                                     prints what moved and the rows changed on both sides\n");
}
