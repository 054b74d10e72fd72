// The window's station chains (version, last number, inventory; the last three inventories; the catalogue
// write with its read-back) against a station on a bad line, through the real window offscreen.
#include "mainwindow.h"
#include "progressdialog.h"

#include "database.h"
#include "interaction.h"
#include "stationprotocol.h"
#include "stationsimulator.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
constexpr int Slots = 3;

QList<Bottle> catalogue()
{
    QList<Bottle> bottles;
    for (int i = 0; i < 24; ++i) {
        Bottle b;
        b.ean = QStringLiteral("85940000%1").arg(10000 + i);
        b.displayName = QStringLiteral("Bottle %1").arg(i);
        b.fullName = b.displayName;
        b.volume = 700;
        b.emptyWeight = 500;
        b.fullWeight = 1200;
        bottles.append(b);
    }
    return bottles;
}

// Slot s holds `sizes[s]` weighings of distinct bottles, so a shifted or doubled block shows in the names.
const int sizes[Slots] = {1, 20, 3};

QList<InventoryBottle> weighings(int slot)
{
    const QList<Bottle> bottles = catalogue();
    QList<InventoryBottle> list;
    for (int i = 0; i < sizes[slot]; ++i)
        list.append({quint64(600 + 10 * slot), bottles.at((i + slot) % bottles.size()).ean});
    return list;
}

// The overview sorts its rows, so both sides are compared sorted; a doubled or lost weighing still shows.
QStringList names(int slot)
{
    const QList<Bottle> bottles = catalogue();
    QStringList list;
    for (const InventoryBottle &w : weighings(slot)) {
        for (const Bottle &b : bottles) {
            if (b.ean == w.ean)
                list.append(b.displayName);
        }
    }
    list.sort();
    return list;
}

QStringList shownNames(QTableView *view)
{
    QStringList list;
    QAbstractItemModel *model = view ? view->model() : nullptr;
    for (int row = 0; model && row < model->rowCount(); ++row)
        list.append(model->index(row, 0).data().toString());
    list.sort();
    return list;
}

// Every cell of a view, row by row.
QStringList cells(QTableView *view)
{
    QStringList list;
    QAbstractItemModel *model = view ? view->model() : nullptr;
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QStringList line;
        for (int column = 0; column < model->columnCount(); ++column)
            line.append(model->index(row, column).data().toString());
        list.append(line.join(QLatin1Char(';')));
    }
    return list;
}
} // namespace

class tst_StationChain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void chainsGiveExactResults_data();
    void chainsGiveExactResults();
    void catalogueWriteFailures_data();
    void catalogueWriteFailures();
    void countsShowWhenFirstDownloaded();
    void lastThreeWarnAndMarkOnlyTheOpenedCount();

private:
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    void click(const char *name) { child<QPushButton>(name)->click(); }
    int page() const { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    QStringList errors() const
    {
        QStringList texts;
        for (const ScriptedInteraction::Asked &question : interaction.asked)
            texts.append(question.kind + QLatin1String(": ") + question.text);
        return texts;
    }

    std::unique_ptr<QTemporaryDir> dataDir;
    std::unique_ptr<StationSimulator> station;
    ScriptedInteraction interaction;
    std::unique_ptr<MainWindow> window;
};

void tst_StationChain::init()
{
    QLoggingCategory::setFilterRules(QStringLiteral("communication.warning=false"));
    dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(dataDir->isValid());
    qputenv("QUARMEL_DATA_DIR", dataDir->path().toLocal8Bit());
    Database seed;
    seed.setBottles(catalogue());
    QVERIFY(seed.saveToFile(dataDir->filePath(QStringLiteral("database70.xml"))));

    station = std::make_unique<StationSimulator>();
    QVERIFY(station->open());
    qputenv("QUARMEL_PORT", station->devicePath().toLocal8Bit());
    station->setCatalogue(catalogue());
    for (int slot = 0; slot < Slots; ++slot)
        station->setInventory(slot, weighings(slot));
    station->setLastInventoryNumber(2); // the last inventory is in slot 1
    interaction = ScriptedInteraction();
    Interaction::setInstance(&interaction);
    window = std::make_unique<MainWindow>();
    window->show();
}

void tst_StationChain::cleanup()
{
    window.reset();
    Interaction::setInstance(nullptr);
    station.reset();
    dataDir.reset();
    QLoggingCategory::setFilterRules(QString());
}

void tst_StationChain::chainsGiveExactResults_data()
{
    QTest::addColumn<QString>("chain");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("request");
    // Last inventory: 1 version, 2 last number, 3 and 4 the two blocks of slot 1.
    // Last three: 1 last number, 2 slot 0, 3 and 4 slot 1, 5 slot 2.
    // Catalogue: 1 to 7 written, 8 to 14 read back.
    const struct
    {
        const char *chain;
        QList<int> requests;
    } chains[] = {{"last", {1, 2, 3, 4}}, {"three", {1, 2, 4, 5}}, {"catalogue", {1, 7, 8, 14}}};
    for (const auto &chain : chains) {
        // The clean run first: it is what every faulty run must show.
        for (const char *fault : {"none", "late", "doubled", "noise", "short-data", "drop"}) {
            for (const int request : chain.requests)
                QTest::addRow("%s, %s, request %d", chain.chain, fault, request)
                    << chain.chain << fault << request;
        }
    }
}

void tst_StationChain::chainsGiveExactResults()
{
    QFETCH(QString, chain);
    QFETCH(QString, fault);
    QFETCH(int, request);
    StationSimulator::Faults &faults = station->faults;
    const QHash<QString, StationSimulator::FaultRange *> ranges{
        {"drop", &faults.drop},   {"checksum", &faults.corruptChecksum}, {"short-data", &faults.shortData},
        {"noise", &faults.noise}, {"doubled", &faults.doubled},          {"late", &faults.late}};
    if (fault != QLatin1String("none"))
        *ranges.value(fault) = {request, 1};
    faults.lateMs = 700;

    auto *progress = window->findChild<ProgressDialog *>();
    if (chain == QLatin1String("last")) {
        click("pbLoadLastInventory");
        QTRY_COMPARE_WITH_TIMEOUT(page(), 3, 10000);
        QCOMPARE(shownNames(child<QTableView>("tvInventoryOverview")), names(1));
    } else if (chain == QLatin1String("three")) {
        click("pbLoadLastThreeInventory");
        QTRY_COMPARE_WITH_TIMEOUT(page(), 4, 10000);
        static QStringList clean;
        QStringList shown;
        for (const char *view : {"tvInventoryOverview_1", "tvInventoryOverview_2", "tvInventoryOverview_3"})
            shown += cells(child<QTableView>(view)) << QString();
        if (fault == QLatin1String("none"))
            clean = shown;
        QVERIFY(!clean.isEmpty());
        QCOMPARE(shown, clean);
    } else {
        station->setCatalogue({});
        click("pbEditDatabase");
        click("pbUnlock");
        click("pbSaveDatabase");
        QVERIFY(progress->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 10000);
        QStringList held;
        for (const Bottle &b : station->catalogue())
            held.append(b.ean);
        QStringList sent;
        for (const Bottle &b : catalogue())
            sent.append(b.ean);
        QCOMPARE(held, sent);
    }
    QVERIFY(!progress->isVisible());
    QVERIFY2(errors().isEmpty(), qPrintable(errors().join(QLatin1Char('\n'))));
    QCOMPARE(station->injectedTotal(), fault == QLatin1String("none") ? 0 : 1);
}

void tst_StationChain::catalogueWriteFailures_data()
{
    QTest::addColumn<QString>("newEan");
    QTest::addColumn<bool>("changedInStation");
    QTest::addColumn<QString>("message");
    QTest::newRow("refused row")
        << "00001236" << false
        << "Quarmel cannot hold these items as they are. Nothing was written; correct "
           "them and save again.\n\nrow 1, EAN \"00001236\": the EAN must have 5 to 14 digits after its "
           "leading zeros, and all but its last four digits must not exceed 4294967295";
    QTest::newRow("read back differs") << "8594000000990" << true
                                       << "Quarmel does not hold the database as it was written (reading it "
                                          "back showed a difference). Check the connection and save again.";
}

// A row the station cannot hold is named before anything is written; a write that reads back different
// is a failed write. Either way the table stays open and the local file is not saved.
void tst_StationChain::catalogueWriteFailures()
{
    QFETCH(QString, newEan);
    QFETCH(bool, changedInStation);
    QFETCH(QString, message);
    const QByteArray before = station->memory();
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    const QDateTime saved = QFileInfo(file).lastModified();
    connect(station.get(), &StationSimulator::requestReceived, this, [this](int command, int address) {
        // The station's memory changes under the read-back, as a failing station's would.
        if (command == StationProtocol::ReadBlockCommand && address == 0)
            station->setMemory(6, QByteArray("X"));
    });
    click("pbEditDatabase");
    click("pbUnlock");
    interaction.textAnswers = QStringList{newEan};
    click("pbAddRow");
    click("pbSaveDatabase");
    // The first question asked for the new row's EAN.
    QTRY_COMPARE_WITH_TIMEOUT(interaction.asked.size(), 2, 10000);
    QCOMPARE(interaction.asked.constLast().kind, QStringLiteral("error"));
    QCOMPARE(interaction.asked.constLast().text, message);
    QCOMPARE(station->memory() != before, changedInStation);
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    QVERIFY(child<QPushButton>("pbSaveDatabase")->isEnabled());
    QCOMPARE(QFileInfo(file).lastModified(), saved);
}

// The station keeps no time with a count; the window remembers when it first downloaded each one and says so
// on both overview pages, and an empty place says it is empty. The record is bounded and passes over lines
// that are none of its own.
void tst_StationChain::countsShowWhenFirstDownloaded()
{
    // Given: a record full of older counts, with damage among them, and an empty third place
    const QString record = dataDir->filePath(QStringLiteral("downloads.txt"));
    QByteArray older = "not a line of ours\n\0\xff\n" + QByteArray(64, 'a') + " yesterday\n";
    for (int i = 0; i < 50; ++i)
        older += QByteArray::number(1000 + i).rightJustified(64, 'f') + " 2026-01-01T10:00:00Z\n";
    QFile file(record);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(older) == older.size());
    file.close();
    station->setInventory(2, {});
    const auto label = [this](const char *name) { return child<QLabel>(name)->text(); };
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);

    // When: the last inventory is read alone, then the last three
    click("pbLoadLastInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 3, 10000);
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    QCOMPARE(label("lblInventoryDate_2"), today); // new to this computer: nothing earlier to tell
    click("pbLoadLastThreeInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 4, 10000);

    // Then: the count read before shows that read, the other one that nothing is known
    static const QRegularExpression known(
        QStringLiteral("^Bottles: 20, first downloaded (\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d)$"));
    const QRegularExpressionMatch match = known.match(label("lblInventoryTaken_1"));
    QVERIFY2(match.hasMatch(), qPrintable(label("lblInventoryTaken_1")));
    const QDateTime first = QDateTime::fromString(match.captured(1), QStringLiteral("dd.MM.yyyy hh:mm"));
    QVERIFY(first >= before && first <= QDateTime::currentDateTime());
    QCOMPARE(label("lblInventoryTaken_2"),
             QStringLiteral("Bottles: 1. Quarmel does not record when a count was taken, and this count had "
                            "never been downloaded on this computer before."));
    QCOMPARE(label("lblInventoryTaken_3"),
             QStringLiteral("Empty: Quarmel holds no weighings in this place."));

    // And: choosing the count read before shows its first download beside today's overview date
    child<QRadioButton>("rbInventory_1")->setChecked(true);
    click("pbSelectInventory");
    QCOMPARE(page(), 3);
    QCOMPARE(label("lblInventoryDate_2"),
             QStringLiteral("%1 (first downloaded %2)").arg(today, match.captured(1)));

    // And: the record kept its own lines only, the newest 50, the two counts last
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 50);
    QVERIFY(lines.first().startsWith(QByteArray::number(1002).rightJustified(64, 'f')));
    QVERIFY(!lines.contains(QByteArray("not a line of ours")));
    QVERIFY(lines.at(48) != lines.at(49));
    QVERIFY(errors().isEmpty());
}

// The last three are a look before one is chosen: only the count opened warns, naming itself, and only its
// bottles are marked for the counts after it.
void tst_StationChain::lastThreeWarnAndMarkOnlyTheOpenedCount()
{
    // Given: the newest count in slot 1; slot 0 with a bottle lighter than empty and one unknown to the
    // catalogue, slot 2 with two bottles nobody weighed since and another unknown one
    const QList<Bottle> bottles = catalogue();
    station->setInventory(0, {{500, bottles.at(0).ean}, {100, bottles.at(23).ean}, {900, "8594000099999"}});
    station->setInventory(2, {{700, bottles.at(21).ean}, {700, bottles.at(22).ean}, {900, "8594000088888"}});
    interaction.buttonAnswers.clear();
    for (int i = 0; i < 20; ++i)
        interaction.buttonAnswers.append(Interaction::No);

    // When: the three are read
    click("pbLoadLastThreeInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 4, 10000);

    // Then: nothing is asked before one is chosen
    QVERIFY2(interaction.asked.isEmpty(), qPrintable(errors().join(QLatin1Char('\n'))));

    // When: the next to last (slot 0) is opened
    child<QRadioButton>("rbInventory_2")->setChecked(true);
    click("pbSelectInventory");
    QCOMPARE(page(), 3);

    // Then: its warnings, each naming it, and none of slot 2
    const QString name = child<QRadioButton>("rbInventory_2")->text() + QLatin1String(": ");
    QVERIFY(interaction.asked.size() >= 2);
    const QString all = errors().join(QLatin1Char('\n'));
    QVERIFY2(all.contains(QLatin1String("8594000099999")) && all.contains(QLatin1String("100 g")),
             qPrintable(all));
    QVERIFY2(!all.contains(QLatin1String("8594000088888")), qPrintable(all));
    for (const ScriptedInteraction::Asked &question : qAsConst(interaction.asked))
        QVERIFY2(question.text.startsWith(name), qPrintable(question.text));

    // And: the next single read lists its 20 bottles and the two known ones of the count opened, not those
    // of slot 2
    click("pbLoadLastInventory");
    QTRY_COMPARE_WITH_TIMEOUT(child<QTableView>("tvInventoryOverview")->model()->rowCount(), 22, 10000);
    QCOMPARE(page(), 3);
}

QTEST_MAIN(tst_StationChain)
#include "tst_stationchain.moc"
