#include "datafolderlock.h"
#include "inventory.h"
#include "iteminventory.h"
#include "samplecount.h"
#include "tablefile.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// One program per data folder: a second one is refused and told who holds the folder, the command line
// keeps to the same lock, and the lock of a program that died does not stand in anyone's way.
class tst_DataFolderLock : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondProgramIsRefused_data();
    void secondProgramIsRefused();
    void lockOfADeadProcessIsTakenOver();

private:
    // Every file under the data folder with its bytes.
    QMap<QString, QByteArray> contents() const;

    std::unique_ptr<QTemporaryDir> tmp;
    QString data;
    QString csv;
};

void tst_DataFolderLock::init()
{
    tmp.reset(new QTemporaryDir);
    QVERIFY(tmp->isValid());
    data = tmp->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    qputenv("QUARMEL_DATA_DIR", QFile::encodeName(data));
    csv = tmp->filePath(QStringLiteral("import.csv"));
    QVERIFY(TestSupport::writeFile(csv, "8591000000005;Vodka;Vodka;700;1186;520\n"));
    QVERIFY(TestSupport::writeFile(QDir(data).filePath(QStringLiteral("database70.xml")), "old catalogue"));
    // A saved table outside, for the history to import.
    Inventory inventory;
    ItemInventory items;
    inventory.rows = TestSupport::secondCountRows();
    QVERIFY(TableFile::save(inventory, items, tmp->filePath(QStringLiteral("table.inv")), QString()));
}

void tst_DataFolderLock::cleanup()
{
    qunsetenv("QUARMEL_DATA_DIR");
}

QMap<QString, QByteArray> tst_DataFolderLock::contents() const
{
    QMap<QString, QByteArray> files;
    const QDir dir(data);
    for (const QString &name :
         dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (name != QLatin1String(DataFolderLock::fileName))
            files.insert(name, TestSupport::readFile(dir.filePath(name)));
    }
    return files;
}

void tst_DataFolderLock::secondProgramIsRefused_data()
{
    QTest::addColumn<QStringList>("args");
    const QString catalogue = QStringLiteral("%DATA%/database70.xml");
    QTest::newRow("catalogue into the data folder") << QStringList{
        QStringLiteral("catalogue"), QStringLiteral("import-csv"), QStringLiteral("%CSV%"), catalogue};
    QTest::newRow("history import") << QStringList{QStringLiteral("history"), QStringLiteral("%DATA%"),
                                                   QStringLiteral("--import"), QStringLiteral("%TMP%")};
    QTest::newRow("takings saved into the data folder")
        << QStringList{QStringLiteral("takings"), QStringLiteral("%CSV%"), QStringLiteral("%WEIGHINGS%"),
                       QStringLiteral("--save"), QStringLiteral("%DATA%/lastInventory.inv")};
}

void tst_DataFolderLock::secondProgramIsRefused()
{
    QFETCH(QStringList, args);
    const QString weighings = tmp->filePath(QStringLiteral("weighings.txt"));
    QVERIFY(TestSupport::writeFile(weighings, "8591000000005;900\n"));
    for (QString &arg : args) {
        arg.replace(QLatin1String("%DATA%"), data)
            .replace(QLatin1String("%CSV%"), csv)
            .replace(QLatin1String("%TMP%"), tmp->path())
            .replace(QLatin1String("%WEIGHINGS%"), weighings);
    }

    // Given: this program holds the data folder
    auto held = std::make_unique<DataFolderLock>(data);
    QCOMPARE(held->take(), DataFolderLock::Result::Taken);
    DataFolderLock second(data);
    QCOMPARE(second.take(), DataFolderLock::Result::Busy);
    QVERIFY(!second.isTaken());
    const QString pid = QString::number(QCoreApplication::applicationPid());
    QVERIFY2(second.reason().contains(pid) && second.reason().contains(QSysInfo::machineHostName()),
             qPrintable(second.reason()));
    const QMap<QString, QByteArray> before = contents();

    // When: a command that writes the folder runs
    const TestSupport::ToolRun refused = TestSupport::runTool(QStringLiteral(QUARMELCTL_PATH), args);

    // Then: it is refused with the holder on one line, and the folder is as it was
    QCOMPARE(refused.code, 75);
    const QList<QByteArray> lines = refused.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().contains(pid.toLatin1()) && lines.first().contains("in use by"),
             refused.err.constData());
    QCOMPARE(contents(), before);

    // Once the folder is free, the same command runs
    held.reset();
    const TestSupport::ToolRun done = TestSupport::runTool(QStringLiteral(QUARMELCTL_PATH), args);
    QVERIFY2(done.code == 0, done.err.constData());
    QVERIFY(contents() != before);
    QVERIFY(!QFile::exists(QDir(data).filePath(QLatin1String(DataFolderLock::fileName))));
}

void tst_DataFolderLock::lockOfADeadProcessIsTakenOver()
{
    // Given: the lock a crashed program left: its process number is no process any more
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList());
    QVERIFY(ended.waitForStarted());
    const qint64 deadPid = ended.processId();
    QVERIFY(ended.waitForFinished());
    const QString lockPath = QDir(data).filePath(QLatin1String(DataFolderLock::fileName));
    QVERIFY(TestSupport::writeFile(
        lockPath,
        QStringLiteral("%1\nquarmel\n%2\n").arg(deadPid).arg(QSysInfo::machineHostName()).toUtf8()));

    // When / Then: the command line and a window take it over
    const TestSupport::ToolRun run = TestSupport::runTool(
        QStringLiteral(QUARMELCTL_PATH), {QStringLiteral("catalogue"), QStringLiteral("import-csv"), csv,
                                          QDir(data).filePath(QStringLiteral("database70.xml"))});
    QVERIFY2(run.code == 0, run.err.constData());
    QVERIFY(TestSupport::writeFile(
        lockPath,
        QStringLiteral("%1\nquarmel\n%2\n").arg(deadPid).arg(QSysInfo::machineHostName()).toUtf8()));
    {
        DataFolderLock window(data);
        QCOMPARE(window.take(), DataFolderLock::Result::Taken);
        QVERIFY(window.isTaken());
    }

    // A window open for hours on another computer sharing the folder is no crash: its lock stays.
    QVERIFY(TestSupport::writeFile(lockPath, "4711\nquarmel\nbar-office\n"));
    QFile lockFile(lockPath);
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600),
                                 QFileDevice::FileModificationTime));
    lockFile.close();
    DataFolderLock second(data);
    QCOMPARE(second.take(), DataFolderLock::Result::Busy);
    QVERIFY2(second.reason().contains(QLatin1String("quarmel (process 4711) on bar-office")),
             qPrintable(second.reason()));
}

QTEST_GUILESS_MAIN(tst_DataFolderLock)
#include "tst_datafolderlock.moc"
