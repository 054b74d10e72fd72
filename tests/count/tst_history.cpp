#include "cataloguedocument.h"
#include "chain.h"
#include "costs.h"
#include "history.h"
#include "historymodel.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "tablefile.h"
#include "testsupport.h"
#include "tillcomparison.h"
#include "tillsales.h"
#include "workbook.h"

#include <QAbstractItemModelTester>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>

#include <sys/resource.h>

Q_DECLARE_METATYPE(History::Count)

namespace {
// Lets the process map at most `room` bytes more than it has mapped now, while it lives.
class AddressSpaceLimit
{
public:
    explicit AddressSpaceLimit(qint64 room)
    {
        qint64 mapped = 0;
        const QByteArray status = TestSupport::readFile(QStringLiteral("/proc/self/status"));
        for (const QByteArray &line : status.split('\n')) {
            if (line.startsWith("VmSize:"))
                mapped = line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
        }
        if (mapped <= 0 || ::getrlimit(RLIMIT_AS, &previous) != 0)
            return;
        rlimit limited = previous;
        limited.rlim_cur = rlim_t(mapped + room);
        if (previous.rlim_max != RLIM_INFINITY && limited.rlim_cur > previous.rlim_max)
            return;
        active = ::setrlimit(RLIMIT_AS, &limited) == 0;
    }
    ~AddressSpaceLimit()
    {
        if (active)
            ::setrlimit(RLIMIT_AS, &previous);
    }
    AddressSpaceLimit(const AddressSpaceLimit &) = delete;
    AddressSpaceLimit &operator=(const AddressSpaceLimit &) = delete;

private:
    rlimit previous{};
    bool active = false;
};
} // namespace

// Every saved table is kept in the history in count order; older table files can be taken in.
class tst_History : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void savesKeepCopiesInCountOrder();
    void importSkipsDamagedFiles();
    void indexNeverShowsAnOldFigure();
    void workbookHoldsTheListAndTheCharts();
    void tillVarianceFollowsTheKeptMatches();
    void craftedIndexCountsArePassedOver_data();
    void craftedIndexCountsArePassedOver();
    void costOfGoodsAndPourCostPerCount_data();
    void costOfGoodsAndPourCostPerCount();
    void workbookHoldsTheCostsAndTheirChart();

private:
    // Saves a count ending at `end` whose rum sold `sold` ml at 1 a centilitre; `lastCopy` as the window
    // gives it, or empty as quarmelctl --save does.
    QByteArray save(const QString &file, const QString &lastCopy, const QDateTime &end, qint64 sold);

    std::unique_ptr<QTemporaryDir> tmp;
    QString data;
    Inventory inventory;
    ItemInventory items;
};

void tst_History::init()
{
    tmp.reset(new QTemporaryDir);
    QVERIFY(tmp->isValid());
    data = tmp->filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    inventory.counter = 0;
}

QByteArray tst_History::save(const QString &file, const QString &lastCopy, const QDateTime &end, qint64 sold)
{
    OverviewRow rum;
    rum.ean = QStringLiteral("111");
    rum.name = QStringLiteral("Rum");
    rum.volume = 1000;
    TableFile::open(inventory, items, {rum}, QString());
    inventory.opening = false; // a sales period, though no last table is given here
    inventory.rows[0].sellUnit = 10;
    inventory.rows[0].pricePerUnit = 1;
    inventory.rows[0].initialQuantity = sold;
    inventory.calculate();
    inventory.timeStart = end.addMonths(-1);
    inventory.timeEnd = end;
    QString reason;
    if (!TableFile::save(inventory, items, file, lastCopy, &reason))
        qWarning("save failed: %s", qPrintable(reason));
    return TestSupport::readFile(file);
}

void tst_History::savesKeepCopiesInCountOrder()
{
    // Given: ten monthly counts, so that table 10 follows table 9, across a new year
    const QString lastCopy = QDir(data).filePath(QStringLiteral("lastInventory.inv"));
    const QDateTime first(QDate(2025, 4, 30), QTime(23, 30));
    QList<QByteArray> saved;

    // When
    for (int month = 0; month < 10; ++month)
        saved.append(save(tmp->filePath(QStringLiteral("table.inv")), lastCopy, first.addMonths(month),
                          100 * (month + 1)));

    // Then: the names sort as the counts, each copy is the saved table byte for byte
    const QStringList names = QDir(History::folder(data)).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 10);
    QCOMPARE(names.first(), History::fileName(first, 1));
    QVERIFY(names.last().endsWith(QLatin1String("-0000000010.inv")));
    const QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.size(), 10);
    for (int i = 0; i < counts.size(); ++i) {
        QVERIFY(!counts.at(i).damaged);
        QCOMPARE(counts.at(i).counter, quint32(i + 1));
        QCOMPARE(counts.at(i).to, first.addMonths(i));
        QCOMPARE(counts.at(i).from, first.addMonths(i - 1));
        QCOMPARE(counts.at(i).alcohol, 10.0 * (i + 1));
        QCOMPARE(TestSupport::readFile(counts.at(i).path), saved.at(i));
    }
    QCOMPARE(counts.last().sold.value(QStringLiteral("111")), qint64(1000));
    QVERIFY(std::none_of(counts.cbegin(), counts.cend(),
                         [](const History::Count &count) { return count.sold.contains(QStringLiteral("999")); }));
    // Same period end: the number decides, with fixed width so that 9 sorts before 10.
    QVERIFY(History::fileName(first, 9) < History::fileName(first, 10));
    QVERIFY(History::fileName(first, 4000000000u) < History::fileName(first.addSecs(1), 1));
}

void tst_History::importSkipsDamagedFiles()
{
    // Given: a folder an owner kept, with two tables (the later one saved first), an overview and a broken
    // file; and the history already holding something that is not a table
    const QString kept = tmp->filePath(QStringLiteral("kept"));
    QVERIFY(QDir().mkpath(kept));
    const QDateTime end(QDate(2026, 1, 15), QTime(22, 0));
    inventory.counter = 6;
    save(QDir(kept).filePath(QStringLiteral("b.inv")), QString(), end.addMonths(1), 500);
    inventory.counter = 4;
    save(QDir(kept).filePath(QStringLiteral("a.inv")), QString(), end, 250);
    QVERIFY(TestSupport::writeFile(QDir(kept).filePath(QStringLiteral("c.inv")),
                                   "<inventoryOverview><bottle ean=\"1\"><weight>5</weight></bottle>"
                                   "</inventoryOverview>"));
    QVERIFY(TestSupport::writeFile(QDir(kept).filePath(QStringLiteral("d.inv")), "<inventory><counter>"));
    QVERIFY(QDir(History::folder(data)).exists() || QDir().mkpath(History::folder(data)));
    QVERIFY(TestSupport::writeFile(QDir(History::folder(data)).filePath(QStringLiteral("0-broken.inv")),
                                   "not xml"));
    QVERIFY(!QFile::exists(QDir(data).filePath(QStringLiteral("lastInventory.inv"))));

    // When
    const History::Imported imported = History::importFolder(data, kept);
    const TestSupport::ToolRun run = TestSupport::runTool(QStringLiteral(QUARMELCTL_PATH),
                                                          {QStringLiteral("history"), data});

    // Then
    QCOMPARE(imported.added, QStringList() << "a.inv" << "b.inv");
    QCOMPARE(imported.damaged, QStringList() << "c.inv" << "d.inv");
    const QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.size(), 3);
    QVERIFY(counts.at(0).damaged);
    QCOMPARE(counts.at(1).counter, quint32(5));
    QCOMPARE(counts.at(2).counter, quint32(7));
    QCOMPARE(run.code, 0);
    QCOMPARE(QString::fromUtf8(run.out).split(QLatin1Char('\n')),
             QStringList() << "Table;From;To;Alcohol Sales;Other Items;Total Sales;Currency;Till Variance;"
                              "Till Variance [sell units]"
                           << QStringLiteral("5;%1;%2;25.00;0.00;25.00;CZK;;")
                                  .arg(History::shownTime(end.addMonths(-1)), History::shownTime(end))
                           << QStringLiteral("7;%1;%2;50.00;0.00;50.00;CZK;;")
                                  .arg(History::shownTime(end), History::shownTime(end.addMonths(1)))
                           << "");
    QVERIFY2(run.err.contains("0-broken.inv: damaged"), run.err.constData());
}

void tst_History::indexNeverShowsAnOldFigure()
{
    // Given: three counts saved an hour ago, listed once, so that the index holds them
    const QDateTime first(QDate(2026, 5, 31), QTime(22, 0));
    const QString lastCopy = QDir(data).filePath(QStringLiteral("lastInventory.inv"));
    for (int month = 0; month < 3; ++month)
        save(tmp->filePath(QStringLiteral("t.inv")), lastCopy, first.addMonths(month), 100);
    const QDir history(History::folder(data));
    const auto backdate = [&history](int seconds) {
        for (const QFileInfo &file : history.entryInfoList({QStringLiteral("*.inv")}, QDir::Files)) {
            QFile count(file.filePath());
            QVERIFY(count.open(QIODevice::ReadWrite));
            QVERIFY(count.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                                      QFileDevice::FileModificationTime));
        }
    };
    backdate(3600);
    QCOMPARE(History::list(data).at(1).alcohol, 10.0);
    const QString index = history.filePath(QStringLiteral(".index"));
    const QByteArray written = TestSupport::readFile(index);
    QVERIFY(!written.isEmpty());

    // When a count is replaced by another of the same size, and a damaged file stands where one was
    const QList<History::Count> before = History::list(data);
    const QString second = before.at(1).path;
    const QString third = before.at(2).path;
    QByteArray changed = TestSupport::readFile(second);
    QVERIFY(changed.contains("<totalAmount>10</totalAmount>"));
    changed.replace("<totalAmount>10</totalAmount>", "<totalAmount>70</totalAmount>");
    QVERIFY(TestSupport::writeFile(second, changed));
    QVERIFY(TestSupport::writeFile(third, QByteArray(TestSupport::readFile(third).size(), ' ')));
    backdate(1800);

    // Then both are read again, and the index follows them
    QList<History::Count> counts = History::list(data);
    QCOMPARE(counts.at(1).alcohol, 70.0);
    QVERIFY(counts.at(2).damaged);
    QVERIFY(TestSupport::readFile(index) != written);

    // A damaged index is passed over and written anew
    QByteArray damaged = TestSupport::readFile(index);
    damaged[damaged.size() / 2] = char(damaged.at(damaged.size() / 2) ^ 0x55);
    QVERIFY(TestSupport::writeFile(index, damaged));
    counts = History::list(data);
    QCOMPARE(counts.size(), 3);
    QCOMPARE(counts.at(0).alcohol, 10.0);
    QCOMPARE(counts.at(1).alcohol, 70.0);
    QCOMPARE(counts.at(1).sold.value(QStringLiteral("111")), qint64(100));
    QCOMPARE(counts.at(1).names.value(QStringLiteral("111")), QStringLiteral("Rum"));
    QCOMPARE(counts.at(1).to, first.addMonths(1));
    QVERIFY(counts.at(2).damaged);
    QCOMPARE(TestSupport::readFile(index).size(), damaged.size());
    QVERIFY(TestSupport::readFile(index) != damaged);
}

void tst_History::workbookHoldsTheListAndTheCharts()
{
    // Given: three monthly counts of rum, selling 0.1, 0.2 and 0.3 l, and a damaged file after them
    const QDateTime first(QDate(2026, 2, 28), QTime(23, 15));
    for (int month = 0; month < 3; ++month)
        save(tmp->filePath(QStringLiteral("t.inv")), QDir(data).filePath(QStringLiteral("lastInventory.inv")),
             first.addMonths(month), 100 * (month + 1));
    QVERIFY(
        TestSupport::writeFile(QDir(History::folder(data)).filePath(QStringLiteral("9-broken.inv")), "<"));
    // The rum's litre bottle costs 10, so each count's pour cost is 10 %
    Bottle litre;
    litre.ean = QStringLiteral("111");
    litre.volume = 1000;
    QVERIFY(TestSupport::writeFile(QDir(data).filePath(QStringLiteral("database70.xml")),
                                   CatalogueDocument::write({litre})));
    QVERIFY(TestSupport::writeFile(QDir(data).filePath(QStringLiteral("costs.csv")), "111;10\n"));
    const QString path = tmp->filePath(QStringLiteral("history.xlsx"));

    // When
    const TestSupport::ToolRun run = TestSupport::runTool(
        QStringLiteral(QUARMELCTL_PATH), {QStringLiteral("history"), data, QStringLiteral("--xlsx"), path,
                                          QStringLiteral("--bottle"), QStringLiteral("111")});

    // Then: the list with numbers, dates and money as such and formulas for the sums; the damaged file left
    // out; a sheet with a chart for each of the page's charts
    QCOMPARE(run.code, 0);
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray(),
             QJsonArray({QStringLiteral("History"), QStringLiteral("Total Sales"), QStringLiteral("Pour Cost"),
                         QStringLiteral("Bottle")}));
    QCOMPARE(book.value(QStringLiteral("charts")).toInt(), 3);
    const auto sheet = [&book](const char *name) {
        return book.value(QLatin1String(name)).toObject().value(QStringLiteral("cells")).toObject();
    };
    const QJsonObject list = sheet("History");
    const auto at = [](const QJsonObject &cells, const char *cell) {
        return cells.value(QLatin1String(cell)).toArray().toVariantList();
    };
    const QString money = QStringLiteral("#,##0.00 \"CZK\"");
    QCOMPARE(book.value(QStringLiteral("History")).toObject().value(QStringLiteral("freeze")).toString(),
             QStringLiteral("A2"));
    QCOMPARE(at(list, "F1"), QVariantList({QStringLiteral("Total Sales"), QStringLiteral("s"),
                                           QStringLiteral("General"), true}));
    QCOMPARE(at(list, "A4"), QVariantList({3, QStringLiteral("n"), QStringLiteral("0"), false}));
    QCOMPARE(at(list, "C4").at(0).toString(),
             first.addMonths(2).toLocalTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    QCOMPARE(at(list, "C4").at(1).toString(), QStringLiteral("d"));
    QCOMPARE(at(list, "D3"), QVariantList({20.0, QStringLiteral("n"), money, false}));
    QCOMPARE(at(list, "F3"), QVariantList({QStringLiteral("=D3+E3"), QStringLiteral("f"), money, false}));
    QVERIFY(!list.contains(QStringLiteral("A5")) && !list.contains(QStringLiteral("D5")));
    QCOMPARE(at(list, "A6").at(0).toString(), QStringLiteral("Total"));
    QCOMPARE(at(list, "D6"), QVariantList({QStringLiteral("=SUM(D2:D4)"), QStringLiteral("f"), money, true}));
    QCOMPARE(at(list, "F6").at(0).toString(), QStringLiteral("=SUM(F2:F4)"));
    QCOMPARE(at(sheet("Total Sales"), "B4").at(0).toString(), QStringLiteral("='History'!F4"));
    QCOMPARE(at(list, "J4"), QVariantList({3.0, QStringLiteral("n"), money, false}));
    QCOMPARE(at(list, "J6"), QVariantList({QStringLiteral("=SUM(J2:J4)"), QStringLiteral("f"), money, true}));
    QCOMPARE(at(list, "K6").at(0).toString(), QStringLiteral("=J6/D6"));
    QCOMPARE(at(sheet("Pour Cost"), "B4"),
             QVariantList({QStringLiteral("='History'!K4"), QStringLiteral("f"), QStringLiteral("0.00 %"), false}));
    const QJsonObject rum = sheet("Bottle");
    QCOMPARE(at(rum, "B1").at(0).toString(), QStringLiteral("Rum: Sold Quantity [L]"));
    QCOMPARE(at(rum, "B4"), QVariantList({0.3, QStringLiteral("n"), QStringLiteral("0.000 \"l\""), false}));
    QCOMPARE(at(rum, "A2").at(1).toString(), QStringLiteral("d"));
}

void tst_History::tillVarianceFollowsTheKeptMatches()
{
    // Given: three monthly counts of rum and gin (4 cl portions, 2 and 1 a portion); the first two saved with
    // till figures: 20 portions of "Rum 4cl" for 40, then "Dom Rum" (matched only by a kept correction) 45
    // for 90 and 2 gin for 2; the third without; all listed an hour after, so that the index holds them
    const QDateTime first(QDate(2026, 2, 28), QTime(23, 15));
    const QString lastCopy = QDir(data).filePath(QStringLiteral("lastInventory.inv"));
    for (int month = 0; month < 3; ++month) {
        OverviewRow rum;
        rum.ean = QStringLiteral("111");
        rum.name = QStringLiteral("Rum");
        OverviewRow gin = rum;
        gin.ean = QStringLiteral("222");
        gin.name = QStringLiteral("Gin");
        TableFile::open(inventory, items, {rum, gin}, QString());
        inventory.opening = false;
        inventory.rows[0].initialQuantity = 1000 * (month + 1);
        inventory.rows[0].sellUnit = 40;
        inventory.rows[0].pricePerUnit = 2;
        inventory.rows[1].initialQuantity = 40;
        inventory.rows[1].sellUnit = 40;
        inventory.rows[1].pricePerUnit = 1;
        inventory.calculate();
        inventory.timeEnd = first.addMonths(month);
        TillFigures till;
        till.hasQuantities = true;
        TillLine line;
        line.name = month == 0 ? QStringLiteral("Rum 4cl") : QStringLiteral("Dom Rum");
        line.quantity = month == 0 ? 20 : 45;
        line.portion = month == 0 ? 40 : 0;
        line.amount = 2 * line.quantity;
        till.lines.append(line);
        if (month == 1) {
            line = TillLine();
            line.code = QStringLiteral("222");
            line.quantity = 2;
            line.amount = 2;
            till.lines.append(line);
        }
        QString reason;
        QVERIFY2(TableFile::save(inventory, items, tmp->filePath(QStringLiteral("t.inv")), lastCopy, &reason,
                                 month == 2 ? nullptr : &till),
                 qPrintable(reason));
    }
    for (const QFileInfo &file :
         QDir(History::folder(data)).entryInfoList({QStringLiteral("*.inv")}, QDir::Files)) {
        QFile count(file.filePath());
        QVERIFY(count.open(QIODevice::ReadWrite));
        QVERIFY(count.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    const auto variances = [](const QList<History::Count> &counts) {
        QStringList shown;
        for (const History::Count &count : counts) {
            QString text = count.hasTill ? QStringLiteral("%1 %2").arg(count.till.money).arg(count.till.units)
                                         : QStringLiteral("none");
            QStringList eans = count.tillByEan.keys();
            eans.sort();
            for (const QString &ean : std::as_const(eans))
                text += QStringLiteral(", %1: %2 %3")
                            .arg(ean)
                            .arg(count.tillByEan.value(ean).money)
                            .arg(count.tillByEan.value(ean).units);
            shown.append(text);
        }
        return shown;
    };
    // Money: the whole count (51 - 40, 101 - 92); portions: of the matched rows ((1000 - 20 * 40) / 40, 1 - 2)
    QCOMPARE(variances(History::list(data)),
             QStringList({QStringLiteral("11 5, 111: 10 5"), QStringLiteral("9 -1, 222: -1 -1"),
                          QStringLiteral("none")}));
    QCOMPARE(variances(History::list(data)).at(1), QStringLiteral("9 -1, 222: -1 -1")); // from the index

    // When the owner matches "Dom Rum" to the rum, with the counts unchanged
    TillMatches matches;
    TillLine domRum;
    domRum.name = QStringLiteral("Dom Rum");
    matches.targets.insert(TillMatches::keyOf(domRum), TillMatches::bottleTarget(QStringLiteral("111")));
    QVERIFY(matches.save(History::tillMatchesPath(data)));

    // Then the second count is compared again with the kept match: rum 50 - 45 portions, 100 - 90
    const QStringList matched{QStringLiteral("11 5, 111: 10 5"), QStringLiteral("9 4, 111: 10 5, 222: -1 -1"),
                              QStringLiteral("none")};
    QCOMPARE(variances(History::list(data)), matched);
    QCOMPARE(variances(History::list(data)), matched);

    // The list, its CSV and the workbook show it; the count without till figures has empty cells, never 0
    HistoryModel model;
    QAbstractItemModelTester tester(&model);
    model.setCounts(History::list(data));
    QCOMPARE(model.index(1, HistoryModel::VarianceColumn).data().toString(), QStringLiteral("9.00"));
    QCOMPARE(model.index(1, HistoryModel::VarianceUnitsColumn).data().toString(), QStringLiteral("4.00"));
    QVERIFY(model.index(2, HistoryModel::VarianceColumn).data().isNull());
    const QStringList csv = QString::fromUtf8(History::csv(model.counts())).split(QLatin1Char('\n'));
    QVERIFY2(csv.value(1).endsWith(QLatin1String(";CZK;11.00;5.00")), qPrintable(csv.value(1)));
    QVERIFY2(csv.value(2).endsWith(QLatin1String(";CZK;9.00;4.00")), qPrintable(csv.value(2)));
    QVERIFY2(csv.value(3).endsWith(QLatin1String(";CZK;;")), qPrintable(csv.value(3)));

    const QString path = tmp->filePath(QStringLiteral("history.xlsx"));
    const TestSupport::ToolRun run = TestSupport::runTool(
        QStringLiteral(QUARMELCTL_PATH), {QStringLiteral("history"), data, QStringLiteral("--xlsx"), path,
                                          QStringLiteral("--bottle"), QStringLiteral("111")});
    QCOMPARE(run.code, 0);
    QVERIFY(run.out.contains(";CZK;9.00;4.00\n"));
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray(),
             QJsonArray({QStringLiteral("History"), QStringLiteral("Total Sales"), QStringLiteral("Till Variance"),
                         QStringLiteral("Till Variance Units"), QStringLiteral("Bottle"),
                         QStringLiteral("Bottle Variance"), QStringLiteral("Bottle Variance Units")}));
    QCOMPARE(book.value(QStringLiteral("charts")).toInt(), 6);
    const auto cell = [&book](const char *sheet, const char *at) {
        return book.value(QLatin1String(sheet))
            .toObject()
            .value(QStringLiteral("cells"))
            .toObject()
            .value(QLatin1String(at))
            .toArray()
            .toVariantList()
            .value(0);
    };
    QCOMPARE(cell("History", "H2").toDouble(), 11.0);
    QCOMPARE(cell("History", "I3").toDouble(), 4.0);
    QVERIFY(cell("History", "H4").isNull() && cell("History", "I4").isNull());
    QCOMPARE(cell("History", "H6").toString(), QStringLiteral("=SUM(H2:H4)"));
    QCOMPARE(cell("Till Variance", "B3").toString(), QStringLiteral("='History'!H3"));
    QCOMPARE(cell("Till Variance Units", "B3").toString(), QStringLiteral("='History'!I3"));
    QVERIFY(cell("Till Variance", "A4").isNull()); // no row for the count without till figures
    QCOMPARE(cell("Bottle Variance", "B1").toString(), QStringLiteral("Rum: Till Variance [CZK]"));
    QCOMPARE(cell("Bottle Variance", "B3").toDouble(), 10.0);
    QCOMPARE(cell("Bottle Variance Units", "B2").toDouble(), 5.0);
}

void tst_History::craftedIndexCountsArePassedOver_data()
{
    // The checksum stops damage, not a crafted file: each count claims more than the file holds.
    QTest::addColumn<QByteArray>("afterHeader");
    const auto stream = [](const std::function<void(QDataStream &)> &write) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_15);
        write(out);
        return bytes;
    };
    QTest::newRow("2^31 strings") << stream([](QDataStream &out) { out << quint32(0x80000000u); });
    QTest::newRow("2^31 - 1 entries")
        << stream([](QDataStream &out) { out << quint32(0) << qint32(0x7fffffff); });
    QTest::newRow("2^31 - 1 rows") << stream([](QDataStream &out) {
        out << QStringList{QStringLiteral("111")} << qint32(1) << QStringLiteral("x.inv") << qint64(1)
            << qint64(1) << false << QString() << quint32(1) << qint32(0) << false << quint32(0) << false
            << qint64(0) << false << qint64(0) << 0.0 << 0.0 << qint32(0x7fffffff);
    });
    QTest::newRow("2^31 - 1 till bottles") << stream([](QDataStream &out) {
        out << QStringList{QStringLiteral("111")} << qint32(1) << QStringLiteral("x.inv") << qint64(1)
            << qint64(1) << false << QString() << quint32(1) << qint32(0) << false << quint32(0) << false
            << qint64(0) << false << qint64(0) << 0.0 << 0.0 << qint32(0) << true << 0.0 << 0.0
            << qint32(0x7fffffff);
    });
}

void tst_History::craftedIndexCountsArePassedOver()
{
    QFETCH(QByteArray, afterHeader);
    const QDateTime end(QDate(2026, 5, 31), QTime(22, 0));
    const QString lastCopy = QDir(data).filePath(QStringLiteral("lastInventory.inv"));
    save(tmp->filePath(QStringLiteral("t.inv")), lastCopy, end, 100);
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    // The index as this program writes it, made with the matches there are (none)
    out << quint32(0x514d4849) << qint32(3) << QCryptographicHash::hash(QByteArray(), QCryptographicHash::Sha1);
    payload += afterHeader;
    const QString index = QDir(History::folder(data)).filePath(QStringLiteral(".index"));
    const QByteArray sum = QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
    QVERIFY(TestSupport::writeFile(index, payload + sum));

    // Room for the reading, not for what the counts claim: a reservation for them fails at once, with the
    // sanitizers as without.
    QList<History::Count> counts;
    {
        const AddressSpaceLimit limit(qint64(4) << 30);
        counts = History::list(data);
    }
    QCOMPARE(counts.size(), 1);
    QCOMPARE(counts.at(0).alcohol, 10.0);
}

namespace {
// A monthly count of table `counter`: half a 0.7 l bottle of rum and a whole one of gin sold, for `alcohol`.
History::Count soldCount(quint32 counter, double alcohol, qint64 rum = 350, qint64 gin = 700)
{
    History::Count count;
    count.counter = counter;
    count.currency = 0;
    count.from = QDateTime(QDate(2026, 1, 31), QTime(23, 0)).addMonths(int(counter) - 1);
    count.to = count.from.addMonths(1);
    count.alcohol = alcohol;
    count.sold.insert(QStringLiteral("111"), rum);
    count.names.insert(QStringLiteral("111"), QStringLiteral("Rum"));
    count.sold.insert(QStringLiteral("222"), gin);
    count.names.insert(QStringLiteral("222"), QStringLiteral("Gin"));
    return count;
}

const QHash<QString, quint64> bothVolumes{{QStringLiteral("111"), 700}, {QStringLiteral("222"), 700}};
} // namespace

void tst_History::costOfGoodsAndPourCostPerCount_data()
{
    QTest::addColumn<History::Count>("count");
    QTest::addColumn<QByteArray>("costs");
    QTest::addColumn<bool>("ginVolumeKnown");
    QTest::addColumn<QString>("costOfGoods"); // as shown in a Czech interface; empty for an empty cell
    QTest::addColumn<QString>("pourCost");
    QTest::addColumn<QString>("why"); // in the tooltip of an empty cell

    // Half a rum bottle at 200 and a gin bottle at 300: 400 of goods for 1600 of takings.
    QTest::newRow("every bottle with a cost")
        << soldCount(1, 1600) << QByteArray("111;200\n222;300,5\n") << true << QStringLiteral("400,50")
        << QStringLiteral("25,03 %") << QString();
    QTest::newRow("a bottle without a cost is no free bottle")
        << soldCount(2, 1600) << QByteArray("111;200\n") << true << QString() << QString()
        << QStringLiteral("No cost for: Gin.");
    QTest::newRow("a bottle of unknown size")
        << soldCount(3, 1600) << QByteArray("111;200\n222;300\n") << false << QString() << QString()
        << QStringLiteral("not in the catalogue): Gin.");
    QTest::newRow("no alcohol sales: no division by them")
        << soldCount(4, 0) << QByteArray("111;200\n222;300\n") << true << QStringLiteral("400,00") << QString()
        << QStringLiteral("No alcohol sales");
    QTest::newRow("nothing sold") << soldCount(5, 0, 0, 0) << QByteArray("111;200\n") << true
                                  << QStringLiteral("0,00") << QString() << QStringLiteral("No alcohol sales");
}

void tst_History::costOfGoodsAndPourCostPerCount()
{
    QFETCH(History::Count, count);
    QFETCH(QByteArray, costs);
    QFETCH(bool, ginVolumeKnown);
    QFETCH(QString, costOfGoods);
    QFETCH(QString, pourCost);
    QFETCH(QString, why);
    CostList list;
    QString reason;
    QVERIFY2(list.parse(costs, &reason), qPrintable(reason));
    QHash<QString, quint64> volumes = bothVolumes;
    if (!ginVolumeKnown)
        volumes.remove(QStringLiteral("222"));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));

    // When
    HistoryModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setCounts({count}, list, volumes);
    const QModelIndex goods = model.index(0, HistoryModel::CostOfGoodsColumn);
    const QModelIndex pour = model.index(0, HistoryModel::PourCostColumn);
    const QString shownGoods = goods.data().toString();
    const QString shownPour = pour.data().toString();
    const QString tip = (costOfGoods.isEmpty() ? goods : pour).data(Qt::ToolTipRole).toString();
    QLocale::setDefault(before);

    // Then: the figures in the interface's numbers, sorted as numbers; an empty cell says why
    QCOMPARE(model.columnCount(), int(HistoryModel::ColumnCount));
    QCOMPARE(shownGoods, costOfGoods);
    QCOMPARE(shownPour, pourCost);
    QVERIFY2(why.isEmpty() || tip.contains(why), qPrintable(tip));
    QCOMPARE(pour.data(HistoryModel::SortRole).isNull(), pourCost.isEmpty());
    double percent = -1;
    // The chain view's pour cost of the same count, bar by bar, comes out of the same computation.
    QCOMPARE(Chain::pourCostOf(count, list, volumes, &percent), !pourCost.isEmpty());
    if (!pourCost.isEmpty()) {
        QCOMPARE(pour.data(HistoryModel::SortRole).toDouble(), percent);
        const Chain::Figures bar = Chain::figuresOf(Chain::Bar{QStringLiteral("Bar"), {count}, {{1, percent}}});
        QCOMPARE(bar.months.size(), 1);
        QVERIFY(bar.months.first().hasPourCost);
        QCOMPARE(bar.months.first().pourCost, percent);
    }
}

void tst_History::workbookHoldsTheCostsAndTheirChart()
{
    // Given: a count with a cost for every bottle, one whose gin has none, and a bar without any cost
    CostList costs;
    QString reason;
    QVERIFY(costs.parse("111;200\n222;300\n", &reason));
    History::Count noGin = soldCount(2, 800);
    noGin.sold.insert(QStringLiteral("333"), 100);
    // The last was saved before tables kept their currency: it is in crowns, as the interface's currency.
    History::Count older = soldCount(3, 2000);
    older.currency = -1;
    HistoryModel model;
    model.setCounts({soldCount(1, 1600), noGin, older}, costs, bothVolumes);
    const QString path = tmp->filePath(QStringLiteral("costs.xlsx"));

    // When
    QVERIFY2(Workbook::writeHistory(path, model.counts(), QString(), &reason, &model.costs()),
             qPrintable(reason));

    // Then: the two columns after the earlier ones, empty for the count without every cost, the total left
    // out rather than low, and the pour cost per period on a sheet with its chart
    QString error;
    const QJsonObject book = TestSupport::readWorkbook(path, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(book.value(QStringLiteral("sheets")).toArray(),
             QJsonArray({QStringLiteral("History"), QStringLiteral("Total Sales"), QStringLiteral("Pour Cost")}));
    QCOMPARE(book.value(QStringLiteral("charts")).toInt(), 2);
    const auto cells = [&book](const char *sheet) {
        return book.value(QLatin1String(sheet)).toObject().value(QStringLiteral("cells")).toObject();
    };
    const QJsonObject list = cells("History");
    const auto at = [](const QJsonObject &cells, const char *cell) {
        return cells.value(QLatin1String(cell)).toArray().toVariantList();
    };
    const QString money = QStringLiteral("#,##0.00 \"CZK\"");
    QCOMPARE(at(list, "J1").value(0).toString(), QStringLiteral("Cost of Goods"));
    QCOMPARE(at(list, "K1").value(0).toString(), QStringLiteral("Pour Cost"));
    QCOMPARE(at(list, "J2"), QVariantList({400.0, QStringLiteral("n"), money, false}));
    QCOMPARE(at(list, "K2"), QVariantList({QStringLiteral("=J2/D2"), QStringLiteral("f"), QStringLiteral("0.00 %"),
                                           false}));
    QVERIFY(at(list, "J3").isEmpty() && at(list, "K3").isEmpty());
    QCOMPARE(at(list, "J4").value(0).toDouble(), 400.0);
    QVERIFY(at(list, "A6").value(0).toString() == QStringLiteral("Total") && at(list, "J6").isEmpty());
    // One total for the crowns, whichever way a count says it is in crowns
    QCOMPARE(at(list, "D6").value(0).toString(), QStringLiteral("=SUM(D2:D4)"));
    QVERIFY(at(list, "A7").isEmpty());
    const QJsonObject pour = cells("Pour Cost");
    QCOMPARE(at(pour, "B2").value(0).toString(), QStringLiteral("='History'!K2"));
    QCOMPARE(at(pour, "B3").value(0).toString(), QStringLiteral("='History'!K4"));
    QVERIFY(at(pour, "A4").isEmpty());
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_history.moc"
