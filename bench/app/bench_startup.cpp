// Start-up to the shown window with a catalogue of 1,500 bottles (budget 300 ms): building the window,
// reading the local catalogue, and the first exposed frame.
#include "mainwindow.h"

#include "database.h"
#include "interaction.h"

#include <QAbstractItemView>
#include <QTemporaryDir>
#include <QtTest>

class bench_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startupToShownWindow();

private:
    QTemporaryDir dataDir;
    ScriptedInteraction interaction;
};

void bench_Startup::initTestCase()
{
    QVERIFY(dataDir.isValid());
    qputenv("QUARMEL_DATA_DIR", dataDir.path().toLocal8Bit());
    QList<Bottle> bottles;
    for (int k = 0; k < 1500; ++k) {
        Bottle b;
        b.ean = QStringLiteral("859%1").arg(k, 10, 10, QLatin1Char('0'));
        b.fullName = QStringLiteral("Bottle number %1 of the bar").arg(k);
        b.displayName = QStringLiteral("Bottle %1").arg(k);
        b.volume = 700;
        b.fullWeight = 1200 + k % 300;
        b.emptyWeight = 500 + k % 100;
        b.useInInventory = k % 2;
        bottles.append(b);
    }
    Database seed;
    seed.setBottles(bottles);
    QVERIFY(seed.saveToFile(dataDir.filePath(QStringLiteral("database70.xml"))));
    Interaction::setInstance(&interaction);
}

void bench_Startup::startupToShownWindow()
{
    QBENCHMARK
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.findChild<QAbstractItemView *>(QStringLiteral("tvEditDatabase"))->model()->rowCount(),
                 1500);
    }
    QVERIFY(interaction.asked.isEmpty());
}

QTEST_MAIN(bench_Startup)
#include "bench_startup.moc"
