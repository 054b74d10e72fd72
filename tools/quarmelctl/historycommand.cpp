#include "commands.h"

#include "history.h"

#include <QDir>
#include <QFileInfo>

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
    if (args.size() != 1 && !(args.size() == 3 && args.at(1) == QLatin1String("--import")))
        return usageError();
    const QString dataFolder = args.at(0);
    if (!QFileInfo(dataFolder).isDir()) {
        std::fprintf(stderr, "quarmelctl history: %s: not a folder\n", qUtf8Printable(dataFolder));
        return ExitFailure;
    }
    if (args.size() == 3) {
        if (!QFileInfo(args.at(2)).isDir()) {
            std::fprintf(stderr, "quarmelctl history: %s: not a folder\n", qUtf8Printable(args.at(2)));
            return ExitFailure;
        }
        QString reason;
        const History::Imported imported = History::importFolder(dataFolder, args.at(2), &reason);
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
    const QList<History::Count> counts = History::list(dataFolder);
    for (const History::Count &count : counts) {
        if (count.damaged)
            std::fprintf(stderr, "quarmelctl history: %s: damaged, not counted\n",
                         qUtf8Printable(QDir::toNativeSeparators(count.path)));
    }
    const QByteArray list = History::csv(counts);
    std::fwrite(list.constData(), 1, size_t(list.size()), stdout);
    return ExitOk;
}

QString historyUsage()
{
    return QStringLiteral(
        "  history DATA_FOLDER [--import FOLDER]\n"
        "                                     print the saved counts (table, from, to, alcohol sales, other\n"
        "                                     items, total); --import first takes FOLDER's *.inv files in\n");
}
