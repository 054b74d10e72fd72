#include "commands.h"

#include "communication.h"
#include "stationprotocol.h"
#include "stationsession.h"

#include "bottle.h"
#include "cataloguereader.h"
#include "csvfield.h"
#include "database.h"
#include "downloadrecord.h"
#include "settings.h"

#include <QEventLoop>
#include <QLoggingCategory>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {
void printLine(const QString &line)
{
    std::fprintf(stdout, "%s\n", qUtf8Printable(line));
}

int stationUsageError()
{
    std::fprintf(stderr, "usage: quarmelctl COMMAND ...\n%s", qUtf8Printable(stationUsage()));
    return ExitUsage;
}

// Runs one transfer to its end and turns the link's failure signals into exit codes. Progress goes to
// standard error: one updated line on a terminal, one line per step otherwise.
class Transfer
{
public:
    explicit Transfer(const char *label) : label(label), interactive(::isatty(STDERR_FILENO))
    {
        // A port that is busy or closed to this user needs another remedy than a loose cable.
        QObject::connect(&link, &Communication::portNotOpened, &loop, [this](Communication::State state) {
            end(ExitNoStation, StationSession::portText(link, state));
        });
        QObject::connect(&link, &Communication::timeout, &loop,
                         [this] { end(ExitTimeout, StationSession::timeoutText()); });
        // Lists the station cannot hold are refused before the transfer starts, so a write error here
        // means that reading the list back showed something else than was sent.
        QObject::connect(&link, &Communication::writeError, &loop, [this] {
            end(ExitWriteRefused, QStringLiteral("Write failed: the station does not hold the bottles as "
                                                 "they were sent. Write the catalogue again."));
        });
    }

    void progress(int percent)
    {
        if (percent == lastPercent)
            return;
        lastPercent = percent;
        std::fprintf(stderr, interactive ? "\r%s: %3d %%" : "%s: %d %%\n", label, percent);
        std::fflush(stderr);
    }

    void end(int code, const QString &message = QString())
    {
        if (interactive && lastPercent >= 0)
            std::fprintf(stderr, "\n");
        lastPercent = -1;
        if (!message.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(message));
        result = code;
        loop.exit(code);
    }

    bool ended() const { return result >= 0; }

    // Failures may be reported before `start` returns, before the loop could be running.
    int run(const std::function<void()> &start)
    {
        start();
        return result >= 0 ? result : loop.exec();
    }

    Communication link;
    QEventLoop loop;

private:
    const char *label;
    bool interactive;
    int lastPercent = -1;
    int result = -1;
};

int version()
{
    Transfer transfer("Reading version");
    QObject::connect(&transfer.link, &Communication::versionReadFinished, &transfer.loop,
                     [&transfer] { transfer.end(ExitOk); });
    const int code = transfer.run([&transfer] { transfer.link.readVersion(); });
    if (code == ExitOk)
        printLine(QString::number(transfer.link.firmwareVersion));
    return code;
}

int lastNumber()
{
    Transfer transfer("Reading last inventory number");
    int number = 0;
    QObject::connect(&transfer.link, &Communication::lastInventoryNumber, &transfer.loop,
                     [&transfer, &number](int n) {
                         number = n;
                         transfer.end(ExitOk);
                     });
    const int code = transfer.run([&transfer] { transfer.link.readLastInventoryNumber(); });
    if (code == ExitOk)
        printLine(QString::number(number));
    return code;
}

// The station does not say when a count was taken; the window and this command remember when each count was
// first downloaded, and say so on standard error.
void noteDownload(const QList<InventoryBottle> &inventory)
{
    const QString record = localFilePath(QLatin1String(DownloadRecord::fileName));
    // The weighings are printed all the same; only the record waits for the program holding the folder.
    if (!inventory.isEmpty() && !holdDataFolderFor(QStringLiteral("station"), record)) {
        std::fprintf(stderr, "The download was not recorded in %s\n", qUtf8Printable(record));
        return;
    }
    bool written = true;
    QString reason;
    const QDateTime first =
        DownloadRecord::remember(record, inventory, QDateTime::currentDateTime(), &written, &reason);
    if (first.isValid())
        std::fprintf(stderr, "First downloaded on this computer %s\n",
                     qUtf8Printable(first.toString(QStringLiteral("dd.MM.yyyy hh:mm"))));
    else if (!inventory.isEmpty())
        std::fprintf(stderr, "Not downloaded on this computer before\n");
    if (!written)
        std::fprintf(stderr, "The download could not be recorded in %s: %s\n", qUtf8Printable(record),
                     qUtf8Printable(reason));
}

// A slot number, or "--last" for the window's chain: version, last inventory number, that inventory, each
// started from the signal that ends the one before.
int inventory(const QString &slotText)
{
    const bool last = slotText == QLatin1String("--last");
    bool ok = false;
    const int slot = slotText.toInt(&ok);
    // The station keeps three inventories; any other slot would read its catalogue or its inventory number
    // as weighings.
    if (!last && (!ok || slot < 0 || slot > 2)) {
        std::fprintf(stderr, "quarmelctl station inventory: the slot must be 0, 1, 2 or --last, not \"%s\"\n",
                     qUtf8Printable(slotText.left(40)));
        return stationUsageError();
    }
    Transfer transfer("Reading inventory");
    // The session reports the link's failures itself; the transfer's own handlers end the loop for them.
    StationSession session(&transfer.link);
    QObject::connect(&session, &StationSession::progress, &transfer.loop,
                     [&transfer](int percent) { transfer.progress(percent); });
    QObject::connect(&session, &StationSession::slotStarted, &transfer.loop, [last](int slot) {
        if (last)
            std::fprintf(stderr, "Inventory slot %d\n", slot);
    });
    QObject::connect(&session, &StationSession::lastRead, &transfer.loop,
                     [&transfer] { transfer.end(ExitOk); });
    QObject::connect(&session, &StationSession::slotRead, &transfer.loop,
                     [&transfer] { transfer.end(ExitOk); });
    QObject::connect(&session, &StationSession::failed, &transfer.loop, [&transfer](const QString &message) {
        // The station answered, but with no inventory to read; the link's own failures end the run first.
        if (!transfer.ended())
            transfer.end(ExitFailure, message);
    });
    int read = 0;
    const int code = transfer.run([&session, &read, last, slot] {
        if (last) {
            session.readLast();
        } else {
            read = slot;
            session.readSlot(slot);
        }
    });
    if (code == ExitOk) {
        const QList<InventoryBottle> &bottles = session.weighings[last ? session.lastSlot() : read];
        for (const InventoryBottle &bottle : bottles)
            printLine(QStringLiteral("%1;%2").arg(bottle.ean).arg(bottle.weight));
        noteDownload(bottles);
    }
    return code;
}

// Station texts are whatever bytes the station holds; a line break or ';' among them would break the line
// into more lines or fields. A backslash starts an escape: \\ \; \n \r, other control bytes \xHH.
QString escapeField(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char(';'))
            escaped += QLatin1String("\\;");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            escaped += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

int readDatabase(bool asDocument)
{
    Transfer transfer("Reading database");
    QList<Bottle> bottles;
    QObject::connect(&transfer.link, &Communication::databaseRead, &transfer.loop,
                     [&transfer](int percent) { transfer.progress(percent); });
    QObject::connect(&transfer.link, &Communication::databaseReadFinished, &transfer.loop,
                     [&transfer] { transfer.end(ExitOk); });
    const int code = transfer.run([&transfer, &bottles] { transfer.link.readDatabase(&bottles); });
    if (code == ExitOk && asDocument) {
        const QByteArray document = Database::toDocument(bottles);
        std::fwrite(document.constData(), 1, size_t(document.size()), stdout);
    } else if (code == ExitOk) {
        for (const Bottle &b : qAsConst(bottles)) {
            printLine(QStringLiteral("%1;%2;%3;%4;%5;%6")
                          .arg(b.ean, csvNeutralised(escapeField(b.displayName)))
                          .arg(b.volume)
                          .arg(b.fullWeight)
                          .arg(b.emptyWeight)
                          .arg(csvNeutralised(escapeField(b.stationText))));
        }
    }
    return code;
}

int writeDatabase(const QString &path)
{
    QList<Bottle> bottles;
    QString error;
    if (!CatalogueReader::readFile(path, &bottles, &error)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error));
        return ExitFailure;
    }
    if (bottles.size() > StationProtocol::MaxBottles) {
        std::fprintf(stderr, "The station takes at most %d bottles, the file has %d; nothing was written.\n",
                     StationProtocol::MaxBottles, int(bottles.size()));
        return ExitWriteRefused;
    }
    const QList<StationProtocol::CatalogueFault> faults = StationProtocol::checkCatalogue(bottles);
    if (!faults.isEmpty()) {
        std::fprintf(stderr, "The station cannot hold these rows as they are; nothing was written:\n");
        for (const QString &line : StationProtocol::describeFaults(bottles, faults))
            std::fprintf(stderr, "  %s\n", qUtf8Printable(line));
        return ExitWriteRefused;
    }
    // A mistyped code is written all the same (it may be a shop's own), but never without a word.
    for (const QString &line : Database::checkDigitWarnings(bottles))
        std::fprintf(stderr, "warning: %s\n", qUtf8Printable(line));
    Transfer transfer("Writing database");
    QObject::connect(&transfer.link, &Communication::databaseWriten, &transfer.loop,
                     [&transfer](int percent) { transfer.progress(percent); });
    QObject::connect(&transfer.link, &Communication::databaseWriteFinished, &transfer.loop,
                     [&transfer] { transfer.end(ExitOk); });
    const int code = transfer.run([&transfer, &bottles] { transfer.link.writeDatabase(&bottles); });
    if (code == ExitOk)
        std::fprintf(stderr, "%d bottles written and read back.\n", int(bottles.size()));
    return code;
}
} // namespace

QString stationUsage()
{
    return QStringLiteral("  station version          firmware build time, seconds since 1970\n"
                          "  station last-number      number of the last inventory taken, less one\n"
                          "  station inventory SLOT   weighings of stored inventory 0, 1 or 2, ean;weight\n"
                          "  station inventory --last the last inventory, found as the program does\n"
                          "  station read-db          the station's bottles, "
                          "ean;displayName;volume;fullWeight;emptyWeight;stationText "
                          "(\\ ; and line breaks escaped)\n"
                          "  station read-db --xml    the station's bottles as a catalogue document\n"
                          "  station write-db FILE    write a catalogue (CSV import file or XML document)\n");
}

int runStationCommand(const QStringList &args)
{
    // The link's step-by-step debug lines would bury the progress; QT_LOGGING_RULES brings them back.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const QString command = args.value(0);
    if (command == QLatin1String("version") && args.size() == 1)
        return version();
    if (command == QLatin1String("last-number") && args.size() == 1)
        return lastNumber();
    if (command == QLatin1String("inventory") && args.size() == 2)
        return inventory(args.at(1));
    if (command == QLatin1String("read-db") && args.size() == 1)
        return readDatabase(false);
    if (command == QLatin1String("read-db") && args.size() == 2 && args.at(1) == QLatin1String("--xml"))
        return readDatabase(true);
    if (command == QLatin1String("write-db") && args.size() == 2)
        return writeDatabase(args.at(1));
    return stationUsageError();
}
