#include "database.h"
#include "downloadrecord.h"
#include "history.h"
#include "inventorybottle.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "samplecount.h"
#include "tablefile.h"
#include "testsupport.h"
#include "tillcomparison.h"
#include "workbook.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <clocale>
#include <cstring>

#include <unistd.h>

// Every kind of writer on a file system that runs full, and workbooks written under a locale with decimal
// commas: the old file stays whole, the reason is the system's, the numbers are the format's.
class tst_SaveFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void workbookNumbersInEveryLocale_data();
    void workbookNumbersInEveryLocale();
    void workbookScratchOfAKilledRunIsRemoved();

private:
    // Fills the small file system but for `freeKilobytes`.
    bool fill(int freeKilobytes);

    QTemporaryDir tmp;
    QString full; // the small file system, or empty when it could not be made
    QString skipReason;
};

void tst_SaveFile::initTestCase()
{
    QVERIFY(tmp.isValid());
    if (::geteuid() != 0) {
        skipReason = QStringLiteral("a small file system can only be mounted as root");
        return;
    }
    const QString folder = tmp.filePath(QStringLiteral("small"));
    QVERIFY(QDir().mkpath(folder));
    QProcess mount;
    mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                          QStringLiteral("size=256k"), QStringLiteral("tmpfs"), folder});
    if (!mount.waitForFinished(30000) || mount.exitStatus() != QProcess::NormalExit ||
        mount.exitCode() != 0) {
        skipReason = QStringLiteral("no tmpfs could be mounted here: ") +
                     QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
        return;
    }
    full = folder;
}

void tst_SaveFile::cleanupTestCase()
{
    if (!full.isEmpty())
        QProcess::execute(QStringLiteral("umount"), {full});
}

bool tst_SaveFile::fill(int freeKilobytes)
{
    // Pages of 4 KB, so that giving back a few leaves exactly that much room.
    const QByteArray page(4096, 'f');
    QStringList fillers;
    for (int i = 0;; ++i) {
        const QString name = QDir(full).filePath(QStringLiteral("filler%1").arg(i));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const qint64 written = file.write(page);
        file.close();
        if (written != page.size()) {
            QFile::remove(name);
            break;
        }
        fillers.append(name);
    }
    for (int i = 0; i < freeKilobytes / 4; ++i) {
        if (fillers.isEmpty() || !QFile::remove(fillers.takeLast()))
            return false;
    }
    return true;
}

void tst_SaveFile::fullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<int>("freeKilobytes");

    // Small documents met QSaveFile's buffer, which took them whole and failed only when committing; large
    // ones were cut short by the system, whose reason got lost.
    QTest::newRow("table, full") << "table" << 0;
    QTest::newRow("table, larger than the room") << "large table" << 16;
    QTest::newRow("catalogue, full") << "catalogue" << 0;
    QTest::newRow("catalogue, larger than the room") << "large catalogue" << 16;
    QTest::newRow("downloads.txt") << "downloads" << 0;
    QTest::newRow("tillMatches.txt") << "till matches" << 0;
    QTest::newRow("workbook") << "workbook" << 0;
    QTest::newRow("workbook, larger than the room") << "workbook" << 4;
    // libxlsxwriter writes its own file, and says only that its zip failed.
    QTest::newRow("workbook, scratch on the full disk") << "workbook scratch" << 0;
}

void tst_SaveFile::fullDiskKeepsTheOldFile()
{
    QFETCH(QString, writer);
    QFETCH(int, freeKilobytes);
    if (full.isEmpty())
        QSKIP(qPrintable(skipReason));

    // Given: an old file, and a file system with no room for its new version
    QDir folder(full);
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        QVERIFY(folder.remove(name));
    const QString target = folder.filePath(QStringLiteral("target"));
    const QByteArray old = "the old file, which must stay as it is\n";
    QVERIFY(TestSupport::writeFile(target, old));
    QVERIFY(fill(freeKilobytes));
    const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);

    // When: the writer replaces it
    QString reason;
    bool written = true;
    if (writer.endsWith(QLatin1String("table"))) {
        Inventory inventory;
        ItemInventory items;
        for (int i = 0; i < (writer.startsWith(QLatin1String("large")) ? 100 : 1); ++i)
            inventory.rows += TestSupport::secondCountRows();
        written = TableFile::save(inventory, items, target, QString(), &reason);
    } else if (writer.endsWith(QLatin1String("catalogue"))) {
        Database database;
        for (int i = 0; i < (writer.startsWith(QLatin1String("large")) ? 400 : 3); ++i) {
            Bottle bottle;
            bottle.ean = QString::number(8590000000000LL + i);
            bottle.fullName = bottle.displayName = QStringLiteral("Bottle %1").arg(i);
            bottle.volume = 700;
            database.bottles.append(bottle);
        }
        written = database.saveToFile(target, false, &reason);
    } else if (writer == QLatin1String("downloads")) {
        InventoryBottle weighing;
        weighing.weight = 520;
        weighing.ean = QStringLiteral("8590000000001");
        DownloadRecord::remember(target, {weighing}, QDateTime::currentDateTime(), &written, &reason);
    } else if (writer == QLatin1String("till matches")) {
        TillMatches matches;
        matches.targets.insert(QStringLiteral("Rum 4 cl"), QStringLiteral("8592508053241"));
        written = matches.save(target, &reason);
    } else {
        QList<OverviewRow> rows;
        for (int i = 0; i < 300; ++i) {
            OverviewRow row;
            row.ean = QString::number(8590000000000LL + i);
            row.name = QStringLiteral("Bottle %1").arg(i);
            row.residue = 100 + i;
            rows.append(row);
        }
        const QByteArray temp = qgetenv("TMPDIR");
        if (writer.endsWith(QLatin1String("scratch")))
            qputenv("TMPDIR", QFile::encodeName(full));
        written = Workbook::writeOverview(target, rows, &reason);
        if (temp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", temp);
    }

    // Then: the failure is told with the system's reason, and the old file is there as it was, alone
    QVERIFY(!written);
    QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    QCOMPARE(TestSupport::readFile(target), old);
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), before);
}

void tst_SaveFile::workbookNumbersInEveryLocale_data()
{
    QTest::addColumn<QString>("workbook");
    QTest::newRow("sales") << "sales";
    QTest::newRow("history, with dates and charts") << "history";
}

void tst_SaveFile::workbookNumbersInEveryLocale()
{
    QFETCH(QString, workbook);
    // Given: the number form of a Czech user, as the application object sets it from the environment
    const QByteArray previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "cs_CZ.UTF-8"))
        QSKIP("The cs_CZ.UTF-8 locale is not installed (localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8 makes it)");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 0.5);
    const bool commas = QByteArray(probe) == "0,50";

    // When: a workbook with fractions is written
    Inventory inventory;
    ItemInventory items;
    inventory.rows = TestSupport::secondCountRows();
    inventory.rows[0].pricePerUnit = 35.04;
    inventory.calculate();
    const QString path = tmp.filePath(workbook + QStringLiteral(".xlsx"));
    QString reason;
    bool written = false;
    if (workbook == QLatin1String("sales")) {
        written = Workbook::writeSales(path, inventory, items, nullptr, &reason);
    } else {
        QList<History::Count> counts;
        for (int month = 1; month <= 3; ++month) {
            History::Count count;
            count.counter = quint32(month);
            count.from = QDateTime(QDate(2026, month, 1), QTime(22, 30));
            count.to = QDateTime(QDate(2026, month + 1, 1), QTime(23, 45));
            count.alcohol = 1234.56 * month;
            count.items = 0.04;
            count.sold.insert(QStringLiteral("8592508053241"), 1250);
            counts.append(count);
        }
        written = Workbook::writeHistory(path, counts, QStringLiteral("8592508053241"), &reason);
    }
    std::setlocale(LC_ALL, previous.constData());
    QVERIFY(commas);
    QVERIFY2(written, qPrintable(reason));

    // Then: every stored number, in the sheets and the charts, has the format's decimal point
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import re, sys, zipfile\n"
                                 "z = zipfile.ZipFile(sys.argv[1])\n"
                                 "xml = b''.join(z.read(n) for n in z.namelist() if n.endswith('.xml'))\n"
                                 "values = re.findall(rb'<(?:c:)?v>([^<]*)</(?:c:)?v>', xml)\n"
                                 "print(sum(b',' in v for v in values), sum(b'.' in v for v in values))\n"),
                  path});
    QVERIFY(python.waitForFinished(30000));
    QCOMPARE(python.exitCode(), 0);
    const QList<QByteArray> counts = python.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(counts.size(), 2);
    QCOMPARE(counts.at(0), QByteArray("0"));
    QVERIFY2(counts.at(1).toInt() > 0, "the workbook holds no fraction to check");
    QString error;
    QVERIFY2(!TestSupport::readWorkbook(path, &error).isEmpty(), qPrintable(error));
}

void tst_SaveFile::workbookScratchOfAKilledRunIsRemoved()
{
    // Given: the scratch folder of a run that was killed (its process is gone), and one of a run going on
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QDir dir(temp.path());
    QVERIFY(dir.mkdir(QStringLiteral("quarmel-workbook-killed")) &&
            dir.mkdir(QStringLiteral("quarmel-workbook-busy")));
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    QVERIFY(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    QVERIFY(ended.waitForFinished());
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("quarmel-workbook-killed/owner.lock")),
                                   QByteArray::number(deadPid) + "\nquarmelctl\n" +
                                       QSysInfo::machineHostName().toUtf8() + '\n'));
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("quarmel-workbook-killed/workbook.xlsx")),
                                   QByteArray(1000, 'x')));
    QLockFile busy(dir.filePath(QStringLiteral("quarmel-workbook-busy/owner.lock")));
    QVERIFY(busy.tryLock(0));

    // When: the next workbook is written
    QString reason;
    const bool written = Workbook::writeOverview(tmp.filePath(QStringLiteral("next.xlsx")), {}, &reason);
    if (previous.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previous);

    // Then: only the scratch of the run going on is left
    QVERIFY2(written, qPrintable(reason));
    QCOMPARE(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("quarmel-workbook-busy")});
}

QTEST_GUILESS_MAIN(tst_SaveFile)
#include "tst_savefile.moc"
