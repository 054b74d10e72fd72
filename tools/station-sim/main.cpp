#include "stationsimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

// "N" or "N:COUNT" (COUNT -1 or "all": every answer from N on).
bool parseRange(const QString &text, StationSimulator::FaultRange *range)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?::(-1|all|\\d+))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    range->first = match.captured(1).toInt();
    const QString count = match.captured(2);
    if (count.isEmpty())
        range->count = 1;
    else if (count == QLatin1String("all") || count == QLatin1String("-1"))
        range->count = -1;
    else
        range->count = count.toInt();
    return range->first > 0;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "quarmel-station-sim: %s\n", qUtf8Printable(message));
    return 1;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quarmel-station-sim"));

    QCommandLineParser parser;
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARMEL_VERSION));
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a weighing station on a pseudo-terminal and prints the terminal's path as its "
        "first line;\nit answers until it gets SIGINT, SIGTERM or SIGHUP. Point the program or "
        "quarmelctl at it\nwith QUARMEL_PORT=PATH. N[:COUNT] counts answers from 1; COUNT "
        "-1 or all means every\nanswer from N on.\n\n"
        "Exit status: 0 after a stop by signal; 1 for an unknown option, a bad value, an "
        "unreadable\nfile, a pseudo-terminal that cannot be opened or an image that cannot "
        "be saved."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption catalogue(QStringLiteral("catalogue"),
                                       QStringLiteral("Bottle database (CSV import file or .xml document)."),
                                       QStringLiteral("file"));
    QList<QCommandLineOption> inventories;
    for (int slot = 0; slot < StationSimulator::InventorySlots; ++slot) {
        inventories.append(
            QCommandLineOption(QStringLiteral("inventory%1").arg(slot),
                               QStringLiteral("Weighings of inventory slot %1 (ean;weight lines).").arg(slot),
                               QStringLiteral("file")));
    }
    const QCommandLineOption lastNumber(
        QStringLiteral("last-number"),
        QStringLiteral("Number of the last inventory taken (default: one past "
                       "the highest slot loaded)."),
        QStringLiteral("n"));
    const QCommandLineOption firmware(QStringLiteral("firmware"),
                                      QStringLiteral("Firmware build time, \"Mmm dd yyyy hh:mm:ss\"."),
                                      QStringLiteral("time"));
    const QCommandLineOption image(QStringLiteral("image"), QStringLiteral("Start from this memory image."),
                                   QStringLiteral("file"));
    const QCommandLineOption saveImage(QStringLiteral("save-image"),
                                       QStringLiteral("Write the memory image to this file on exit."),
                                       QStringLiteral("file"));
    const QCommandLineOption pace(QStringLiteral("pace"),
                                  QStringLiteral("Answer at the pace of 57600 baud."));
    const QCommandLineOption drop(QStringLiteral("drop"), QStringLiteral("Drop answer N[:COUNT]."),
                                  QStringLiteral("n"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-checksum"),
                                     QStringLiteral("Corrupt the checksum of answer N[:COUNT]."),
                                     QStringLiteral("n"));
    const QCommandLineOption breakEscape(QStringLiteral("break-escape"),
                                         QStringLiteral("Put a broken escape into answer N[:COUNT]."),
                                         QStringLiteral("n"));
    const QCommandLineOption cutShort(QStringLiteral("cut-short"),
                                      QStringLiteral("Cut answer N[:COUNT] short."), QStringLiteral("n"));
    const QCommandLineOption shortData(
        QStringLiteral("short-data"),
        QStringLiteral("Answer N[:COUNT] with half the data and a good checksum."), QStringLiteral("n"));
    const QCommandLineOption noise(QStringLiteral("noise"),
                                   QStringLiteral("Send line noise before answer N[:COUNT]."),
                                   QStringLiteral("n"));
    const QCommandLineOption doubled(QStringLiteral("doubled"),
                                     QStringLiteral("Send answer N[:COUNT] twice."), QStringLiteral("n"));
    const QCommandLineOption random(
        QStringLiteral("random"),
        QStringLiteral("Give each request one fault of a random kind with probability P (0 to 1)."),
        QStringLiteral("p"));
    const QCommandLineOption seed(
        QStringLiteral("seed"),
        QStringLiteral("Seed of --random (default 1); the same seed, the same faults."), QStringLiteral("n"));
    const QCommandLineOption byteByByte(QStringLiteral("byte-by-byte"),
                                        QStringLiteral("Write every answer byte on its own, one per ms."));
    const QCommandLineOption late(QStringLiteral("late"), QStringLiteral("Answer MS milliseconds late."),
                                  QStringLiteral("ms"));
    const QCommandLineOption lateAnswers(
        QStringLiteral("late-answers"),
        QStringLiteral("Which answers --late delays, N[:COUNT] (default: all)."), QStringLiteral("n"));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                         QStringLiteral("Stop answering after N requests."),
                                         QStringLiteral("n"));
    const QCommandLineOption vanishAfter(
        QStringLiteral("vanish-after"),
        QStringLiteral("Vanish, as if unplugged, on the request after the N-th."), QStringLiteral("n"));
    parser.addOptions({catalogue, lastNumber,  firmware, image,       saveImage,   pace,       drop,
                       corrupt,   breakEscape, cutShort, shortData,   noise,       doubled,    random,
                       seed,      byteByByte,  late,     lateAnswers, silentAfter, vanishAfter});
    parser.addOptions(inventories);
    parser.process(app);
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    StationSimulator station;
    QString error;
    if (parser.isSet(image)) {
        QFile file(parser.value(image));
        if (!file.open(QIODevice::ReadOnly) || file.size() != StationSimulator::MemorySize)
            return fail(QStringLiteral("%1: not a %2-byte memory image")
                            .arg(file.fileName())
                            .arg(StationSimulator::MemorySize));
        station.setMemory(0, file.readAll());
    }
    if (parser.isSet(catalogue)) {
        QList<Bottle> bottles;
        if (!StationSimulator::readCatalogueFile(parser.value(catalogue), &bottles, &error))
            return fail(error);
        station.setCatalogue(bottles);
    }
    int highestSlot = -1;
    for (int slot = 0; slot < inventories.size(); ++slot) {
        if (!parser.isSet(inventories.at(slot)))
            continue;
        QList<InventoryBottle> bottles;
        if (!StationSimulator::readInventoryFile(parser.value(inventories.at(slot)), &bottles, &error))
            return fail(error);
        station.setInventory(slot, bottles);
        highestSlot = slot;
    }
    if (parser.isSet(lastNumber)) {
        bool ok = false;
        const int number = parser.value(lastNumber).toInt(&ok);
        if (!ok || number < -128 || number > 255)
            return fail(QStringLiteral("--last-number takes a number from -128 to 255"));
        station.setLastInventoryNumber(number);
    } else if (highestSlot >= 0) {
        station.setLastInventoryNumber(highestSlot + 1);
    }
    if (parser.isSet(firmware)) {
        static const QRegularExpression pattern(
            QStringLiteral("^(\\w{3} [ \\d]\\d \\d{4}) (\\d\\d:\\d\\d:\\d\\d)$"));
        const QRegularExpressionMatch match = pattern.match(parser.value(firmware));
        if (!match.hasMatch())
            return fail(QStringLiteral("--firmware takes \"Mmm dd yyyy hh:mm:ss\""));
        station.setFirmwareTime(match.captured(1), match.captured(2));
    }

    StationSimulator::Faults &faults = station.faults;
    const struct
    {
        const QCommandLineOption &option;
        StationSimulator::FaultRange *range;
    } ranges[] = {
        {drop, &faults.drop},         {corrupt, &faults.corruptChecksum}, {breakEscape, &faults.breakEscape},
        {cutShort, &faults.cutShort}, {shortData, &faults.shortData},     {noise, &faults.noise},
        {doubled, &faults.doubled},   {lateAnswers, &faults.late}};
    for (const auto &entry : ranges) {
        if (parser.isSet(entry.option) && !parseRange(parser.value(entry.option), entry.range))
            return fail(QStringLiteral("--%1 takes N or N:COUNT").arg(entry.option.names().first()));
    }
    if (parser.isSet(late)) {
        bool ok = false;
        faults.lateMs = parser.value(late).toInt(&ok);
        if (!ok || faults.lateMs < 0)
            return fail(QStringLiteral("--late takes milliseconds"));
        if (!parser.isSet(lateAnswers) && !parser.isSet(random))
            faults.late = {1, -1};
    }
    if (parser.isSet(random)) {
        bool ok = false;
        faults.randomRate = parser.value(random).toDouble(&ok);
        if (!ok || faults.randomRate < 0 || faults.randomRate > 1)
            return fail(QStringLiteral("--random takes a probability from 0 to 1"));
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        faults.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--seed takes a whole number"));
    }
    faults.byteByByte = parser.isSet(byteByByte);
    const struct
    {
        const QCommandLineOption &option;
        int *value;
    } counts[] = {{silentAfter, &faults.silentAfter}, {vanishAfter, &faults.vanishAfter}};
    for (const auto &entry : counts) {
        if (!parser.isSet(entry.option))
            continue;
        bool ok = false;
        *entry.value = parser.value(entry.option).toInt(&ok);
        if (!ok || *entry.value < 1)
            return fail(QStringLiteral("--%1 takes a count of at least 1").arg(entry.option.names().first()));
    }

    station.setPaced(parser.isSet(pace));
    if (!station.open(&error))
        return fail(error);

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return fail(QStringLiteral("cannot set up signal handling"));
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);

    std::printf("%s\n", qUtf8Printable(station.devicePath()));
    std::fflush(stdout);

    const int status = app.exec();
    if (parser.isSet(saveImage) && !station.saveImage(parser.value(saveImage), &error))
        return fail(error);
    return status;
}
