#include "commands.h"

#include "cataloguereader.h"
#include "chain.h"
#include "costs.h"
#include "history.h"
#include "settings.h"
#include "workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>

namespace {
int usageError()
{
    std::fprintf(stderr, "usage:\n%s", qUtf8Printable(historyUsage()));
    return ExitUsage;
}
} // namespace

int runHistoryCommand(const QStringList &args)
{
    if (args.size() == 2 && args.at(1) == QLatin1String("--all-bars"))
        return runChainHistory(args.at(0));
    if (args.isEmpty() || args.size() % 2 != 1)
        return usageError();
    QString importFrom;
    QString workbook;
    QString bottle;
    for (int i = 1; i < args.size(); i += 2) {
        const QString &option = args.at(i);
        QString *value = option == QLatin1String("--import")   ? &importFrom
                         : option == QLatin1String("--xlsx")   ? &workbook
                         : option == QLatin1String("--bottle") ? &bottle
                                                               : nullptr;
        if (!value || !value->isEmpty() || args.at(i + 1).isEmpty())
            return usageError();
        *value = args.at(i + 1);
    }
    if (!bottle.isEmpty() && workbook.isEmpty())
        return usageError();
    const QString dataFolder = args.at(0);
    if (!QFileInfo(dataFolder).isDir()) {
        std::fprintf(stderr, "quarmelctl history: %s: not a folder\n", qUtf8Printable(dataFolder));
        return ExitFailure;
    }
    const QString command = QStringLiteral("history");
    if ((!importFrom.isEmpty() && !holdDataFolder(command, dataFolder)) ||
        !holdDataFolderFor(command, workbook))
        return ExitBusy;
    if (!importFrom.isEmpty()) {
        if (!QFileInfo(importFrom).isDir()) {
            std::fprintf(stderr, "quarmelctl history: %s: not a folder\n", qUtf8Printable(importFrom));
            return ExitFailure;
        }
        QString reason;
        const History::Imported imported = History::importFolder(dataFolder, importFrom, &reason);
        for (const QString &name : imported.damaged)
            std::fprintf(stderr, "quarmelctl history: %s: not an inventory table, skipped\n",
                         qUtf8Printable(name));
        std::fprintf(stderr, "Imported %d table files\n", int(imported.added.size()));
        if (!reason.isEmpty()) {
            std::fprintf(stderr, "quarmelctl history: %s: %s\n",
                         qUtf8Printable(History::folder(dataFolder)), qUtf8Printable(reason));
            return ExitFailure;
        }
    }
    // Comparing each count with its till logs a debug line per count; QT_LOGGING_RULES brings them back.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const QList<History::Count> counts = History::list(dataFolder);
    for (const History::Count &count : counts) {
        const QString path = QDir::toNativeSeparators(count.path);
        if (count.unreadable)
            std::fprintf(stderr, "quarmelctl history: %s: cannot be read (%s), not counted\n",
                         qUtf8Printable(path), qUtf8Printable(count.problem));
        else if (count.damaged)
            std::fprintf(stderr, "quarmelctl history: %s: damaged, not counted\n", qUtf8Printable(path));
        else if (count.opening)
            std::fprintf(stderr, "quarmelctl history: %s: the opening count, not counted\n",
                         qUtf8Printable(path));
        else if (count.replaced())
            std::fprintf(stderr, "quarmelctl history: %s: replaced by table %u, not counted\n",
                         qUtf8Printable(path), count.replacedBy);
    }
    if (!workbook.isEmpty()) {
        // The chart of one bottle: the one asked for, else the first of the list, as the window shows it.
        const QList<QPair<QString, QString>> bottles = History::bottles(counts);
        if (bottle.isEmpty() && !bottles.isEmpty())
            bottle = bottles.first().first;
        // The cost columns as the window has them: today's costs of the folder, the volumes of its catalogue.
        QString reason;
        CostList costs;
        if (!costs.load(QDir(dataFolder).filePath(CostList::fileName()), &reason)) {
            std::fprintf(stderr, "quarmelctl history: %s: %s, the workbook has no costs\n",
                         qUtf8Printable(CostList::fileName()), qUtf8Printable(reason));
            costs = CostList();
        }
        QList<Chain::CountCost> countCosts;
        if (!costs.entries.isEmpty()) {
            QList<Bottle> catalogue;
            const QString cataloguePath = QDir(dataFolder).filePath(QLatin1String(DataFile::catalogue));
            if (!CatalogueReader::readFile(cataloguePath, &catalogue, &reason))
                std::fprintf(stderr, "quarmelctl history: %s, so no bottle volume is known\n",
                             qUtf8Printable(reason));
            QHash<QString, quint64> volumes;
            for (const Bottle &known : std::as_const(catalogue))
                volumes.insert(known.ean, known.volume);
            for (const History::Count &count : counts)
                countCosts.append(Chain::costOf(count, costs, volumes));
        }
        reason.clear();
        if (!Workbook::writeHistory(workbook, counts, bottle, &reason,
                                    costs.entries.isEmpty() ? nullptr : &countCosts)) {
            std::fprintf(stderr, "quarmelctl history: %s: %s\n", qUtf8Printable(workbook),
                         qUtf8Printable(reason));
            return ExitFailure;
        }
    }
    const QByteArray list = History::csv(counts);
    std::fwrite(list.constData(), 1, size_t(list.size()), stdout);
    return ExitOk;
}

QString historyUsage()
{
    return QStringLiteral(
        "  history DATA_FOLDER [--import FOLDER] [--xlsx FILE [--bottle EAN]]\n"
        "                                     print the saved counts (table, from, to, alcohol sales, other\n"
        "                                     items, total, currency, till variance in money and in sell\n"
        "                                     units), leaving out the opening count\n"
        "                                     and tables a later one corrects; --import first takes\n"
        "                                     FOLDER's *.inv files in the history; --xlsx also writes\n"
        "                                     the list and its charts as a workbook, with the sold\n"
        "                                     quantity and till variance of bottle EAN (by default the\n"
        "                                     first by name) and, when DATA_FOLDER keeps costs, the\n"
        "                                     cost of goods and pour cost per count at today's costs\n"
        "  history DATA_FOLDER --all-bars     print the counts of every bar the shared store of\n"
        "                                     QUARMEL_DB lets the login read: bar, table, from, to,\n"
        "                                     alcohol sales, other items, total\n");
}
