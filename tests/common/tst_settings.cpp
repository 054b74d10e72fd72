#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void dataDirFromEnvironmentIsCreated();
    void systemScopeFolder();
    void unusableSystemFolderFallsBack();
    void rememberedFolders();
    void currency_data();
    void currency();

private:
    QTemporaryDir tmp;
};

void tst_Settings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Quarmel"));
    QCoreApplication::setApplicationName(QStringLiteral("Quarmel"));
    QVERIFY(tmp.isValid());
}

void tst_Settings::init()
{
    qunsetenv("QUARMEL_DATA_DIR");
    Settings::setCurrency(Settings::CZK);
}

void tst_Settings::dataDirFromEnvironmentIsCreated()
{
    // Given a data folder that does not exist yet (a machine where the program never ran)
    const QString folder = tmp.filePath(QStringLiteral("fresh/data"));
    qputenv("QUARMEL_DATA_DIR", folder.toLocal8Bit());
    QVERIFY(!QDir(folder).exists());

    // When
    const QString path = localFilePath(QStringLiteral("lastInventory.inv"));

    // Then
    QCOMPARE(path, QDir(folder).absolutePath() + QStringLiteral("/lastInventory.inv"));
    QVERIFY(QDir(folder).exists());
    QVERIFY(!QFile::exists(path));
}

void tst_Settings::systemScopeFolder()
{
    const QString folder = tmp.filePath(QStringLiteral("system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, folder);
    const QString path = localFilePath(QStringLiteral("database70.xml"));
    // The folder is the one that would hold the system-wide "Quarmel.ini".
    const QString expected = QDir(folder).absoluteFilePath(QStringLiteral("Quarmel"));
    QCOMPARE(QFileInfo(path).absolutePath(), expected);
    QVERIFY(QDir(expected).exists());
    // The INI file only names the folder; nothing is stored in it.
    QVERIFY(!QFile::exists(QDir(expected).filePath(QStringLiteral("Quarmel.ini"))));
}

void tst_Settings::unusableSystemFolderFallsBack()
{
    // A regular file in the way makes the folder impossible to create, even for root.
    QFile blocker(tmp.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, blocker.fileName() + "/etc");

    const QString path = localFilePath(QStringLiteral("lastInventory.inv"));

    const QString expected = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCOMPARE(QFileInfo(path).absolutePath(), QDir(expected).absolutePath());
    QFile probe(path);
    QVERIFY(probe.open(QIODevice::WriteOnly));
    probe.remove();
}

void tst_Settings::rememberedFolders()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QSettings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel")).remove(RememberedFolder::csvPath);
    QCOMPARE(rememberedFolder(RememberedFolder::csvPath), documents);

    setRememberedFolder(RememberedFolder::csvPath, tmp.path());
    QCOMPARE(rememberedFolder(RememberedFolder::csvPath), tmp.path());
    // Each key is separate.
    QSettings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel")).remove(RememberedFolder::inventoryPath);
    QCOMPARE(rememberedFolder(RememberedFolder::inventoryPath), documents);
    QSettings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel")).remove(RememberedFolder::csvPath);
}

void tst_Settings::currency_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unit");
    QTest::newRow("CZK") << 0 << "CZK"
                         << "\n[CZK]";
    QTest::newRow("EUR") << 1 << "EUR"
                         << "\n[EUR]";
    QTest::newRow("unknown") << 2 << ""
                             << "";
}

void tst_Settings::currency()
{
    QFETCH(int, value);
    QFETCH(QString, name);
    QFETCH(QString, unit);
    Settings::setCurrency(value);
    QCOMPARE(Settings::currency(), value);
    QCOMPARE(Settings::currencyName(), name);
    QCOMPARE(Settings::currencyUnit(), unit);
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
