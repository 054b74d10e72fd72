#include "commands.h"

#include "cataloguereader.h"
#include "costs.h"
#include "database.h"
#include "doubtsummary.h"
#include "interaction.h"
#include "inventory.h"
#include "inventorybottle.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "salestotals.h"
#include "settings.h"
#include "storeledger.h"
#include "tablefile.h"
#include "tillcomparison.h"
#include "tillexport.h"
#include "tillsales.h"
#include "weighingsfile.h"
#include "workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>

#include <cmath>
#include <cstdio>

namespace {
int fail(const QString &command, const QString &message)
{
    std::fprintf(stderr, "quarmelctl %s: %s\n", qUtf8Printable(command), qUtf8Printable(message));
    return ExitFailure;
}

int usageError()
{
    std::fprintf(stderr, "usage:\n%s", qUtf8Printable(inventoryUsage()));
    return ExitUsage;
}

// The lines of a text file without their line ends; blank lines and lines starting with # are left out, but
// still counted so that errors name the right line.
QList<QPair<int, QString>> contentLines(const QByteArray &bytes)
{
    QList<QPair<int, QString>> lines;
    const QList<QByteArray> raw = bytes.split('\n');
    for (int i = 0; i < raw.size(); ++i) {
        const QString line = QString::fromUtf8(raw.at(i)).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines.append({i + 1, line});
    }
    return lines;
}

// A decimal number as the sales table reads typed input: with a comma or a point.
double decimal(QString text, bool *ok)
{
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    const double number = QLocale::c().toDouble(text.trimmed(), ok);
    *ok = *ok && std::isfinite(number);
    return number;
}

// A catalogue document or a CSV import file, told apart by what the file holds.
bool loadCatalogue(const QString &path, Database *database, QString *error)
{
    QList<Bottle> bottles;
    if (!CatalogueReader::readFile(path, &bottles, error))
        return false;
    database->setBottles(bottles);
    return true;
}

// "ean;price" or "ean;price;sell unit in litres" lines, applied to the rows with that EAN.
bool applyPrices(const QString &path, Inventory *inventory, QString *error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    for (const auto &line : contentLines(bytes)) {
        const QStringList fields = line.second.split(QLatin1Char(';'));
        bool priceOk = false;
        bool unitOk = true;
        const double price = fields.size() >= 2 ? decimal(fields.at(1), &priceOk) : 0;
        const double unit = fields.size() == 3 ? decimal(fields.at(2), &unitOk) : 0;
        if (fields.size() < 2 || fields.size() > 3 || !priceOk || !unitOk || !std::isfinite(price) ||
            !std::isfinite(unit) || std::fabs(unit) > 1e6) {
            *error =
                QStringLiteral("%1:%2: expected ean;price[;sell unit in litres]").arg(path).arg(line.first);
            return false;
        }
        SalesRow *row = inventory->findRow(fields.at(0).trimmed());
        if (!row)
            continue;
        row->pricePerUnit = price;
        if (fields.size() == 3)
            row->sellUnit = millilitresFromLitres(unit);
    }
    inventory->calculate();
    return true;
}

// "ean;litres" lines: the quantity issued from the store to the bar during the period.
bool applyStock(const QString &path, Inventory *inventory, QString *error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    for (const auto &line : contentLines(bytes)) {
        const QStringList fields = line.second.split(QLatin1Char(';'));
        bool ok = false;
        const double litres = fields.size() == 2 ? decimal(fields.at(1), &ok) : 0;
        if (!ok || std::fabs(litres) > 1e9) {
            *error = QStringLiteral("%1:%2: expected ean;litres").arg(path).arg(line.first);
            return false;
        }
        if (SalesRow *row = inventory->findRow(fields.at(0).trimmed()))
            row->fromStock = millilitresFromLitres(litres);
    }
    inventory->calculate();
    return true;
}

bool writeStdout(const QByteArray &bytes)
{
    QFile out;
    return out.open(stdout, QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

// Splits `args` into positional arguments and the values of the named options; false on a repeated option,
// an option without its value or one not in `options`.
bool parseOptions(const QStringList &args, const QList<QPair<const char *, QString *>> &options,
                  QStringList *positional)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString *option = nullptr;
        for (const auto &known : options) {
            if (arg == QLatin1String(known.first))
                option = known.second;
        }
        if (!option) {
            if (arg.startsWith(QLatin1String("--")))
                return false;
            *positional << arg;
            continue;
        }
        if (i + 1 >= args.size() || !option->isEmpty())
            return false;
        *option = args.at(++i);
    }
    return true;
}

int runOverview(const QStringList &args)
{
    QStringList positional;
    QString xlsx;
    if (!parseOptions(args, {{"--xlsx", &xlsx}}, &positional) || positional.size() != 2)
        return usageError();
    const QString command = QStringLiteral("overview");
    Database database;
    QList<InventoryBottle> weighings;
    QString error;
    if (!loadCatalogue(positional.at(0), &database, &error) ||
        !WeighingsFile::read(positional.at(1), &weighings, &error))
        return fail(command, error);

    if (!holdDataFolderFor(command, xlsx))
        return ExitBusy;
    InventoryBottleList overview;
    overview.setInventory(weighings, &database);
    if (!writeStdout(overview.toCSV()))
        return fail(command, QStringLiteral("cannot write to standard output"));
    if (!xlsx.isEmpty() && !Workbook::writeOverview(xlsx, overview.rows, &error))
        return fail(command, QStringLiteral("%1: Failed to save file: %2").arg(xlsx, error));
    return ExitOk;
}

// The till export read with the columns given, else those remembered beside the matches file, else those
// recognised with certainty; never with a guess.
bool readTill(const QString &path, const QString &columnsText, const QString &matchesFile, TillFigures *figures,
              QStringList *notCounted, QString *error, bool *usage)
{
    *usage = false;
    QByteArray bytes;
    TillTable table;
    if (!TillExport::readFile(path, &bytes, error) || !TillExport::readTable(bytes, &table, error))
        return false;
    bool certain = false;
    TillColumns columns = TillExport::guessColumns(table, &certain);
    TillExport::RememberedColumns remembered;
    if (!matchesFile.isEmpty())
        remembered.load(QFileInfo(matchesFile).dir().filePath(TillExport::RememberedColumns::fileName()));
    if (!columnsText.isEmpty()) {
        if (!TillColumns::fromText(columnsText, table.header, &columns, error)) {
            *error = QStringLiteral("--till-columns: ") + *error;
            *usage = true;
            return false;
        }
    } else if (!remembered.find(table, &columns) && !certain) {
        *error = QStringLiteral("which columns hold the product and the money taken is not certain; name them "
                                "with --till-columns name=COL,code=COL,quantity=COL,amount=COL[,unit=COL] (COL a "
                                "header or a 1-based column number). Candidates:\n  ") +
                 TillExport::candidates(table).join(QStringLiteral("\n  "));
        return false;
    }
    std::fprintf(stderr, "quarmelctl takings: %s: %s, columns %s\n", qUtf8Printable(path),
                 qUtf8Printable(table.encoding), qUtf8Printable(TillExport::describe(table, columns)));
    TillReading reading;
    if (!TillExport::read(table, columns, &reading, error))
        return false;
    figures->lines = reading.figures.lines;
    figures->hasQuantities = reading.figures.hasQuantities;
    *notCounted = reading.refused + reading.skipped;
    return true;
}

int runTakings(QStringList args)
{
    // The one option without a value.
    const bool order = args.removeAll(QStringLiteral("--order")) > 0;
    QStringList positional;
    QString last;
    QString save;
    QString prices;
    QString stock;
    QString tillFile;
    QString tillAmount;
    QString matchesFile;
    QString tillColumns;
    QString xlsx;
    QString costsFile;
    QString issuesFile;
    if (!parseOptions(args,
                      {{"--last", &last},
                       {"--issues", &issuesFile},
                       {"--costs", &costsFile},
                       {"--save", &save},
                       {"--prices", &prices},
                       {"--stock", &stock},
                       {"--till", &tillFile},
                       {"--till-amount", &tillAmount},
                       {"--matches", &matchesFile},
                       {"--till-columns", &tillColumns},
                       {"--xlsx", &xlsx}},
                      &positional) ||
        positional.size() != 2 ||
        ((!matchesFile.isEmpty() || !tillColumns.isEmpty()) && tillFile.isEmpty()) ||
        (order && costsFile.isEmpty()))
        return usageError();

    const QString command = QStringLiteral("takings");
    // Before any work, so that a refused run writes nothing at all.
    if (!holdDataFolderFor(command, xlsx) || !holdDataFolderFor(command, save))
        return ExitBusy;
    TillFigures till;
    // Read before any file, so that a mistyped amount costs nothing and is not taken for a bad file.
    if (!tillAmount.isEmpty()) {
        till.hasAmount = TillSales::parseNumber(tillAmount, &till.amount) && till.amount >= 0;
        if (!till.hasAmount) {
            std::fprintf(
                stderr,
                "quarmelctl takings: --till-amount %s: not an amount of money taken (a number of zero "
                "or more, with a decimal comma or point)\n",
                qUtf8Printable(tillAmount));
            return ExitUsage;
        }
    }
    Database database;
    QList<InventoryBottle> weighings;
    QString error;
    if (!loadCatalogue(positional.at(0), &database, &error) ||
        !WeighingsFile::read(positional.at(1), &weighings, &error))
        return fail(command, error);
    if (!last.isEmpty() && !QFile::exists(last))
        return fail(command, QStringLiteral("%1: no such table file").arg(last));
    CostList costs;
    // A cost list that is not there is a mistyped name here, not a bar without costs.
    if (!costsFile.isEmpty() && !QFile::exists(costsFile))
        return fail(command, QStringLiteral("%1: no such cost list").arg(costsFile));
    if (!costsFile.isEmpty() && !costs.load(costsFile, &error))
        return fail(command, QStringLiteral("%1: %2").arg(costsFile, error));
    StoreLedger ledger;
    if (!issuesFile.isEmpty() && !QFile::exists(issuesFile))
        return fail(command, QStringLiteral("%1: no such record of deliveries and issues").arg(issuesFile));
    if (!issuesFile.isEmpty() && !ledger.load(issuesFile, &error))
        return fail(command, QStringLiteral("%1: %2").arg(issuesFile, error));

    InventoryBottleList overview;
    overview.setInventory(weighings, &database);
    Inventory inventory;
    ItemInventory items;
    QString problem;
    const TableFile::Carried carried = TableFile::open(inventory, items, overview.rows, last, &problem);
    // Takings counted from part of the last table look right and are not: say what was lost, and stop.
    if (carried == TableFile::Carried::Damaged || carried == TableFile::Carried::Unreadable)
        return fail(command,
                    QStringLiteral("%1: %2").arg(last, problem.replace(QLatin1Char('\n'), QLatin1Char(' '))));
    if (!prices.isEmpty() && !applyPrices(prices, &inventory, &error))
        return fail(command, error);
    if (!stock.isEmpty() && !applyStock(stock, &inventory, &error))
        return fail(command, error);
    // As the window fills the next count: the issues dated after the day the last table ended, up to today;
    // what --stock set stands as typed.
    if (!issuesFile.isEmpty()) {
        if (inventory.opening) {
            std::fprintf(stderr, "quarmelctl takings: %s: the opening count has no period; From Stock not filled\n",
                         qUtf8Printable(issuesFile));
        } else {
            QHash<QString, double> filled;
            const StockFill fill = StockFill::apply(
                inventory, items, ledger.issuedBetween(inventory.timeStart, inventory.timeEnd),
                &filled);
            std::fprintf(stderr, "quarmelctl takings: %s: %s\n", qUtf8Printable(issuesFile),
                         qUtf8Printable(fill.text()));
        }
    }
    QStringList rejected;
    TillFigures exported;
    bool usage = false;
    if (!tillFile.isEmpty() && !readTill(tillFile, tillColumns, matchesFile, &exported, &rejected, &error, &usage)) {
        fail(command, QStringLiteral("%1: %2").arg(tillFile, error));
        return usage ? ExitUsage : ExitFailure;
    }
    till.lines = exported.lines;
    till.hasQuantities = exported.hasQuantities;
    for (const QString &line : rejected)
        std::fprintf(stderr, "quarmelctl takings: %s:%s\n", qUtf8Printable(tillFile), qUtf8Printable(line));
    TillMatches matches;
    if (!matchesFile.isEmpty())
        matches.load(matchesFile);
    const TillComparison comparison = TillComparison::compare(inventory, items, till, matches);

    QByteArray out = TableFile::salesCsv(inventory, items);
    const CostFigures costFigures = CostFigures::of(inventory, items, costs);
    if (!costsFile.isEmpty())
        out += costFigures.csvLines();
    const OrderList orderList = OrderList::of(inventory, items, costs);
    if (order)
        out += '\n' + orderList.csv();
    const bool compared = !tillFile.isEmpty() || till.hasAmount;
    if (compared)
        out += '\n' + comparison.toText(Settings::currencyName()).toUtf8();
    if (!writeStdout(out))
        return fail(command, QStringLiteral("cannot write to standard output"));
    // What the window lists in a message after a download and on opening the sales table.
    for (const QString &doubts : {DoubtSummary::overview(overview.rows), DoubtSummary::sales(inventory)}) {
        if (!doubts.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(doubts));
    }
    std::fprintf(stderr, "%s\n%s\n", qUtf8Printable(SalesTotals::alcohol(inventory)),
                 qUtf8Printable(SalesTotals::total(inventory, items)));

    const TillComparison *shownTill = compared ? &comparison : nullptr;
    if (!xlsx.isEmpty() &&
        !Workbook::writeSales(xlsx, inventory, items, shownTill, &error,
                              costsFile.isEmpty() ? nullptr : &costFigures, order ? &orderList : nullptr))
        return fail(command, QStringLiteral("%1: Failed to save file: %2").arg(xlsx, error));
    // The window also keeps a copy for its next count; the command line names every file it writes.
    if (!save.isEmpty() && !TableFile::save(inventory, items, save, QString(), &error, &till))
        return fail(command, QStringLiteral("%1: Failed to save file: %2").arg(save, error));
    return ExitOk;
}
} // namespace

QString inventoryUsage()
{
    return QStringLiteral(
        "  overview CATALOGUE WEIGHINGS [--xlsx FILE]\n"
        "                                     print the overview CSV; warnings go to standard error\n"
        "  takings CATALOGUE WEIGHINGS [--last TABLE.inv] [--prices FILE] [--stock FILE] [--issues FILE]\n"
        "                              [--save TABLE.inv]\n"
        "                              [--till EXPORT [--matches FILE] [--till-columns COLUMNS]]\n"
        "                              [--till-amount AMOUNT] [--costs COSTS.csv [--order]] [--xlsx FILE]\n"
        "                                     print the sales CSV; --last carries a saved table over,\n"
        "                                     --prices sets ean;price[;sell unit in litres] per EAN,\n"
        "                                     --stock sets ean;litres issued from the store per EAN,\n"
        "                                     --issues fills From Stock from a record of deliveries\n"
        "                                     and issues (date;kind;EAN;quantity;cost;supplier, the\n"
        "                                     window's deliveries.csv) with the bottles issued after\n"
        "                                     the end of --last up to now (an issue without a time\n"
        "                                     at midday), where --stock set none,\n"
        "                                     --till compares with a till's sales export, --matches\n"
        "                                     takes the window's remembered till matches (and the\n"
        "                                     columns remembered beside them), --till-columns names\n"
        "                                     name=COL,code=COL,quantity=COL,amount=COL[,unit=COL]\n"
        "                                     of the export (COL a header or a 1-based number),\n"
        "                                     --till-amount compares with the till's takings typed\n"
        "                                     from its report (it stands for the export's total),\n"
        "                                     --costs adds the cost of goods sold, the pour cost and\n"
        "                                     the stock value at cost from ean;cost;par;supplier\n"
        "                                     lines (an appended item by its name in place of EAN),\n"
        "                                     --order also prints what to buy up to each par level,\n"
        "                                     --xlsx also writes the workbook\n"
        "    CATALOGUE: catalogue document, or a CSV import file\n"
        "    WEIGHINGS: overview XML file, or ean;weight lines\n");
}

int runInventoryCommand(const QString &command, const QStringList &args)
{
    // Standard error is for the warnings of the build, not for the libraries' debug chatter.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    // Warnings that the window shows in message boxes go to standard error here.
    ScriptedInteraction interaction;
    interaction.echoToStderr = true;
    Interaction *previous = Interaction::setInstance(&interaction);
    const int code = command == QLatin1String("overview") ? runOverview(args) : runTakings(args);
    Interaction::setInstance(previous);
    return code;
}
