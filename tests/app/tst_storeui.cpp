#include "chainmodel.h"
#include "storesync.h"
#include "pgserver.h"
#include "chainpage.h"
#include "passwordstore.h"
#include "serverconnection.h"
#include "settingsdialog.h"

#include "chain.h"
#include "interaction.h"
#include "settings.h"
#include "store.h"
#include "tablefile.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "testsupport.h"
#include "workbook.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class tst_StoreUi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void settingsKeepThePasswordApart();
    void chainSideBySide_data();
    void chainSideBySide();
    void chainPageAndWorkbook();
    void pourCostNeedsEveryBottle();
    void saveArrivesOnServer();

private:
    QTemporaryDir config;
    std::unique_ptr<QTemporaryDir> data;
    ScriptedInteraction interaction;
};

namespace {
History::Count count(quint32 counter, const QDateTime &to, double alcohol, int currency, bool till = false,
                     double variance = 0)
{
    History::Count c;
    c.counter = counter;
    c.from = to.addDays(-7);
    c.to = to;
    c.alcohol = alcohol;
    c.items = 10;
    c.currency = currency;
    c.hasTill = till;
    c.till.money = variance;
    return c;
}

QDateTime at(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(23, 0));
}

// Two bars: A with two counts in March (one with till figures, one with costs) and one in April, B with one
// count in April; an opening count and a corrected one, neither of which is a sales period.
QList<Chain::Bar> twoBars()
{
    Chain::Bar a{QStringLiteral("Bar/Nord"), {}, {}};
    History::Count opening = count(1, at(2026, 2, 20), 999, Settings::CZK);
    opening.opening = true;
    a.counts << opening << count(2, at(2026, 3, 6), 1000, Settings::CZK, true, 50)
             << count(3, at(2026, 3, 13), 3000, Settings::CZK);
    History::Count corrected = count(4, at(2026, 4, 3), 7777, Settings::CZK);
    corrected.replacedBy = 5;
    a.counts << corrected << count(5, at(2026, 4, 3), 500, Settings::CZK);
    a.pourCost.insert(2, 20);
    a.pourCost.insert(3, 40);
    Chain::Bar b{QStringLiteral("Bar Süd"), {count(1, at(2026, 4, 10), 200, Settings::EUR, true, -3)}, {}};
    return {a, b};
}
} // namespace

void tst_StoreUi::initTestCase()
{
    // Before anything reads the settings: this run's own, never the user's.
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("QUARMEL_NO_KEYRING", "1");
    QStandardPaths::setTestModeEnabled(true);
    Interaction::setInstance(&interaction);
}

void tst_StoreUi::init()
{
    data = std::make_unique<QTemporaryDir>();
    QVERIFY(data->isValid());
    qputenv("QUARMEL_DATA_DIR", data->path().toLocal8Bit());
    QSettings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName)).clear();
    QFile::remove(PasswordStore::filePath());
    interaction.asked.clear();
}

void tst_StoreUi::settingsKeepThePasswordApart()
{
    // Given a connection typed into Settings...
    const QString secret = QStringLiteral("s3cret-Pw%");
    {
        PasswordStore passwords;
        SettingsDialog dialog(data->path(), nullptr, &passwords);
        dialog.findChild<QLineEdit *>(QStringLiteral("leServerHost"))->setText(QStringLiteral(" db.example "));
        dialog.findChild<QSpinBox *>(QStringLiteral("sbServerPort"))->setValue(6543);
        dialog.findChild<QLineEdit *>(QStringLiteral("leServerDatabase"))->setText(QStringLiteral("quarmel"));
        dialog.findChild<QLineEdit *>(QStringLiteral("leServerLogin"))->setText(QStringLiteral("nord"));
        dialog.findChild<QLineEdit *>(QStringLiteral("leServerPassword"))->setText(secret);
        auto *bar = dialog.findChild<QLineEdit *>(QStringLiteral("leServerBar"));
        QVERIFY(!bar->isReadOnly());
        // ... a bar name is required with a server,
        bar->setText(QStringLiteral("   "));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(ServerConnection::load().isSet(), false);
        bar->setText(QStringLiteral("Nord"));
        QSignalSpy kept(&dialog, &SettingsDialog::passwordKept);
        QVERIFY(kept.isValid());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(kept.count(), 1);
        QCOMPARE(kept.at(0).at(0).toBool(), true);
    }
    // Then the settings hold the connection and never the password, which sits in a file only the user reads,
    QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    settings.sync();
    const QByteArray settingsFile = TestSupport::readFile(settings.fileName());
    QVERIFY(settingsFile.contains("db.example"));
    QVERIFY(!settingsFile.contains(secret.toUtf8()));
    QVERIFY(!settingsFile.contains("s3cret"));
    const ServerConnection server = ServerConnection::load();
    QCOMPARE(server.host, QStringLiteral("db.example"));
    QCOMPARE(server.port, 6543);
    QCOMPARE(server.login, QStringLiteral("nord"));
    QCOMPARE(QFile::permissions(PasswordStore::filePath()),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    QString password;
    QVERIFY(PasswordStore::readFile(server.passwordKey(), &password));
    QCOMPARE(password, secret);
    // and the bar in the data folder.
    Store::Identity identity;
    QString reason;
    QVERIFY2(Store::readIdentity(data->path(), &identity, &reason), qPrintable(reason));
    QCOMPARE(identity.bar, QStringLiteral("Nord"));

    // When Settings... opens again, the password is there and the bar may no longer be renamed.
    {
        PasswordStore passwords;
        SettingsDialog dialog(data->path(), nullptr, &passwords);
        QCOMPARE(dialog.password(), secret);
        QVERIFY(dialog.findChild<QLineEdit *>(QStringLiteral("leServerBar"))->isReadOnly());
        // A change of login leaves no password behind under the old one.
        dialog.findChild<QLineEdit *>(QStringLiteral("leServerLogin"))->setText(QStringLiteral("owner"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QVERIFY(!PasswordStore::readFile(server.passwordKey(), &password));
    QVERIFY(PasswordStore::readFile(ServerConnection::load().passwordKey(), &password));
    QCOMPARE(password, secret);
}

void tst_StoreUi::chainSideBySide_data()
{
    QTest::addColumn<int>("figure");
    QTest::addColumn<QStringList>("march");
    QTest::addColumn<QStringList>("april");
    // Rows are months with a counted count: the opening count's February is none.
    QTest::newRow("takings") << int(ChainModel::Takings) << QStringList{"4020.00 CZK", ""}
                             << QStringList{"510.00 CZK", "210.00 EUR"};
    // Only counts with till figures have a variance; a month without any stays empty, never 0.
    QTest::newRow("variance") << int(ChainModel::Variance) << QStringList{"50.00 CZK", ""}
                              << QStringList{"", "-3.00 EUR"};
    // Weighed by the alcohol sales: (20 % of 1000 + 40 % of 3000) / 4000.
    QTest::newRow("pour cost") << int(ChainModel::PourCost) << QStringList{"35.0 %", ""}
                               << QStringList{"", ""};
}

void tst_StoreUi::chainSideBySide()
{
    QFETCH(int, figure);
    QFETCH(QStringList, march);
    QFETCH(QStringList, april);
    ChainModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setBars(twoBars());
    model.setFigure(ChainModel::Figure(figure));
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Bar Süd"));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("03/2026"));
    for (int column = 0; column < 2; ++column) {
        QCOMPARE(model.index(0, column).data().toString(), march.at(column));
        QCOMPARE(model.index(1, column).data().toString(), april.at(column));
    }
}

void tst_StoreUi::chainPageAndWorkbook()
{
    ChainPage page;
    page.setBars(twoBars());
    QCOMPARE(page.chartCount(), 2);
    // Read again with one bar fewer: no chart of the old data is left behind.
    page.setBars(twoBars().mid(1));
    QCOMPARE(page.chartCount(), 1);

    // A bar's name with a character no sheet name may hold still gives a workbook.
    const QString path = data->filePath(QStringLiteral("bars.xlsx"));
    QList<Chain::Figures> figures;
    for (const Chain::Bar &bar : twoBars())
        figures.append(Chain::figuresOf(bar));
    QString reason;
    QVERIFY2(Workbook::writeChain(path, figures, &reason), qPrintable(reason));
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    if (!error.isEmpty())
        QSKIP(qPrintable(QStringLiteral("The workbook cannot be read back here: ") + error));
    const QJsonArray sheets = book.value(QStringLiteral("sheets")).toArray();
    QCOMPARE(sheets.size(), 3);
    QCOMPARE(sheets.at(1).toString(), QStringLiteral("Bar_Nord"));
    QCOMPARE(book.value(QStringLiteral("charts")).toInt(), 2);
    const QJsonObject cells = book.value(sheets.at(0).toString()).toObject().value(QStringLiteral("cells")).toObject();
    QCOMPARE(cells.value(QStringLiteral("A2")).toArray().at(0).toString(), QStringLiteral("Bar/Nord"));
    QCOMPARE(cells.value(QStringLiteral("D2")).toArray().at(0).toDouble(), 4020.0);
    QCOMPARE(cells.value(QStringLiteral("G2")).toArray().at(0).toDouble(), 35.0);
}

void tst_StoreUi::pourCostNeedsEveryBottle()
{
    History::Count sold = count(7, at(2026, 5, 1), 1000, Settings::CZK);
    sold.sold.insert(QStringLiteral("A"), 700); // a whole 0.7 l bottle at 200
    sold.sold.insert(QStringLiteral("B"), 350); // half a 0.7 l bottle at 300
    CostList costs;
    QString reason;
    QVERIFY2(costs.parse("A;200\nB;300\n", &reason), qPrintable(reason));
    const QHash<QString, quint64> volumes{{QStringLiteral("A"), 700}, {QStringLiteral("B"), 700}};
    double percent = 0;
    QVERIFY(Chain::pourCostOf(sold, costs, volumes, &percent));
    QCOMPARE(percent, 35.0);
    // A bottle without a cost, or of unknown size, gives no pour cost rather than a low one.
    QVERIFY(!Chain::pourCostOf(sold, costs, {{QStringLiteral("A"), 700}}, &percent));
    sold.sold.insert(QStringLiteral("C"), 100);
    QVERIFY(!Chain::pourCostOf(sold, costs, volumes, &percent));
}

void tst_StoreUi::saveArrivesOnServer()
{
    if (PgServer::binaries().isEmpty())
        QSKIP("No PostgreSQL server is installed (Debian: postgresql); the window's sync is not tried.");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("Qt SQL's PostgreSQL driver is not installed (Debian: libqt6sql6-psql or libqt5sql5-psql).");
    // Given a store with a bar login, as the server's owner sets it up,
    PgServer server;
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    QVERIFY2(server.admin({QStringLiteral("CREATE ROLE chainowner LOGIN CREATEROLE PASSWORD 'owner'"),
                           QStringLiteral("CREATE ROLE bar_nord LOGIN PASSWORD 'nord'"),
                           QStringLiteral("CREATE DATABASE shop OWNER chainowner")},
                          &error),
             qPrintable(error));
    {
        Store::ConnectionInfo owner;
        QVERIFY(Store::ConnectionInfo::parse(server.uri(QStringLiteral("chainowner"), QStringLiteral("owner"),
                                                        QStringLiteral("shop")),
                                             &owner, &error));
        Store::Connection connection;
        const Store::Outcome opened = connection.open(owner);
        QVERIFY2(opened.ok(), qPrintable(opened.reason));
        QSqlQuery query(QSqlDatabase::database(connection.name(), false));
        QVERIFY2(query.exec(QStringLiteral("INSERT INTO quarmel.bar_logins (login, bar) VALUES ('bar_nord', 'Nord')")),
                 qPrintable(query.lastError().text()));
    }
    // and a count saved in the window's data folder of that bar,
    Inventory inventory;
    ItemInventory items;
    OverviewRow rum;
    rum.ean = QStringLiteral("111");
    rum.name = QStringLiteral("Rum");
    rum.volume = 700;
    TableFile::open(inventory, items, {rum}, QString());
    inventory.opening = false;
    inventory.rows[0].sellUnit = 40;
    inventory.rows[0].pricePerUnit = 50;
    inventory.rows[0].initialQuantity = 2000;
    inventory.calculate();
    QVERIFY2(TableFile::save(inventory, items, data->filePath(QStringLiteral("t.inv")),
                             localFilePath(QLatin1String(DataFile::lastTable)), &error),
             qPrintable(error));
    QVERIFY2(Store::setBar(data->path(), QStringLiteral("Nord"), &error), qPrintable(error));

    // When the window's sync runs,
    StoreSync sync(data->path());
    QList<Store::SyncReport> reports;
    connect(&sync, &StoreSync::syncFinished, this,
            [&reports](const Store::SyncReport &report) { reports.append(report); });
    Store::ConnectionInfo bar;
    QVERIFY(Store::ConnectionInfo::parse(server.uri(QStringLiteral("bar_nord"), QStringLiteral("nord"),
                                                    QStringLiteral("shop")),
                                         &bar, &error));
    ServerConnection connection;
    connection.host = bar.host;
    connection.port = bar.port;
    connection.database = bar.database;
    connection.login = bar.user;
    sync.setConnection(connection, QStringLiteral("nord"));
    sync.request();
    // then it reports back in this thread, without this thread waiting for it, and the count is on the server.
    QVERIFY(sync.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 1, 60000);
    QVERIFY2(reports.at(0).outcome.ok(), qPrintable(reports.at(0).outcome.reason));
    QCOMPARE(reports.at(0).sentCounts.size(), 1);
    QVERIFY(StoreSync::statusText(reports.at(0)).contains(QStringLiteral("1 counts sent")));

    // With the server gone, the sync says so and keeps the saves for later.
    QVERIFY(server.stop(&error));
    sync.request();
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), 2, 60000);
    QCOMPARE(reports.at(1).outcome.result, Store::Result::Unreachable);
    QVERIFY(StoreSync::statusText(reports.at(1)).contains(QStringLiteral("sent later")));
}

QTEST_MAIN(tst_StoreUi)
#include "tst_storeui.moc"
