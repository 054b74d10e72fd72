#include "mainwindow.h"

#include "database.h"
#include "historymodel.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "salestotals.h"
#include "tablefile.h"
#include "interaction.h"
#include "stationsimulator.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtCharts/QChartView>
#include <QtTest>

#include <memory>

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif

namespace {
Bottle bottle(const QString &ean, const QString &name)
{
    Bottle b;
    b.ean = ean;
    b.fullName = name;
    b.displayName = name;
    b.fullWeight = 1200;
    b.emptyWeight = 500;
    b.volume = 700;
    b.modified = QDateTime(QDate(2025, 1, 1), QTime(12, 0));
    b.inserted = b.modified;
    return b;
}

// The letter after a lone '&', lower case; a null QChar without one.
QChar mnemonic(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toLower();
        ++i;
    }
    return QChar();
}

// The interface's locale for one test, the program's as main() sets it.
class InterfaceLocale
{
public:
    explicit InterfaceLocale(const QString &name) { QLocale::setDefault(QLocale(name)); }
    ~InterfaceLocale() { QLocale::setDefault(QLocale::c()); }
};

bool insideCompound(const QWidget *widget)
{
    for (const QWidget *w = widget->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
            qobject_cast<const QComboBox *>(w))
            return true;
    return false;
}
} // namespace

// The window-wide parts: menus and shortcuts, mnemonics, remembered geometry, the first start, names for
// screen readers.
class tst_Menus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void actionsClickTheirPagesButtons_data();
    void actionsClickTheirPagesButtons();
    void helpOpensTheGuideAndTellsTheVersion();
    void mnemonicsUniquePerPage_data();
    void mnemonicsUniquePerPage();
    void geometryIsRememberedOnScreen_data();
    void geometryIsRememberedOnScreen();
    void firstStartWelcome_data();
    void firstStartWelcome();
    void everyFieldHasAnAccessibleName();
    void czechShowsCommasFilesKeepPoints();
    void namesSortInTheInterfaceLanguage_data();
    void namesSortInTheInterfaceLanguage();
    void tabLeavesTheTable();
    void oneCheckBoxInTheMiddle();

private:
    void seedCatalogue() const;
    QStackedWidget *pages() const { return window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget")); }

    std::unique_ptr<QTemporaryDir> dataDir;
    ScriptedInteraction interaction;
    std::unique_ptr<MainWindow> window;
};

void tst_Menus::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_Menus::init()
{
    QSettings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel")).clear();
    dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(dataDir->isValid());
    qputenv("QUARMEL_DATA_DIR", dataDir->path().toLocal8Bit());
    qputenv("QUARMEL_PORT", dataDir->filePath(QStringLiteral("no-station")).toLocal8Bit());
    interaction = ScriptedInteraction();
    Interaction::setInstance(&interaction);
}

void tst_Menus::cleanup()
{
    window.reset();
    Interaction::setInstance(nullptr);
    dataDir.reset();
}

void tst_Menus::seedCatalogue() const
{
    Database seed;
    seed.setBottles({bottle(QStringLiteral("8594000000111"), QStringLiteral("Absinth"))});
    QVERIFY(seed.saveToFile(dataDir->filePath(QStringLiteral("database70.xml"))));
}

void tst_Menus::actionsClickTheirPagesButtons_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("page"); // object name of the page shown
    QTest::addColumn<QString>("button"); // the button clicked; empty: the entry is disabled there
    QTest::addColumn<QKeySequence>("keys"); // pressed on the window; empty: the entry is triggered

    const QKeySequence none;
    QTest::newRow("save table") << "actionSaveTable" << "page_2" << "pbSaveInventory"
                                << QKeySequence(QKeySequence::Save);
    QTest::newRow("save table, home") << "actionSaveTable" << "homePage" << QString()
                                      << QKeySequence(QKeySequence::Save);
    QTest::newRow("import table") << "actionImportTable" << "page_2" << "pbImportInventory"
                                  << QKeySequence(QKeySequence::Open);
    QTest::newRow("print sales") << "actionPrint" << "page_2" << "pbPrintInventory"
                                 << QKeySequence(QKeySequence::Print);
    QTest::newRow("print overview") << "actionPrint" << "page_3" << "pbPrint_2"
                                    << QKeySequence(QKeySequence::Print);
    QTest::newRow("print history") << "actionPrint" << "historyPage" << "pbHistoryPrint"
                                   << QKeySequence(QKeySequence::Print);
    QTest::newRow("print, catalogue") << "actionPrint" << "page_4" << QString()
                                      << QKeySequence(QKeySequence::Print);
    QTest::newRow("csv overview") << "actionExportCsv" << "page_3" << "pbInventoryOverviewExportCSV" << none;
    QTest::newRow("csv sales") << "actionExportCsv" << "page_2" << "pbInventoryExportCSV" << none;
    QTest::newRow("excel history") << "actionExportExcel" << "historyPage" << "pbHistoryWorkbook" << none;
    QTest::newRow("xml overview") << "actionExportXml" << "page_3" << "pbInventoryOverviewExportXML" << none;
    QTest::newRow("xml, sales") << "actionExportXml" << "page_2" << QString() << none;
    QTest::newRow("load last") << "actionLoadLast" << "homePage" << "pbLoadLastInventory" << none;
    QTest::newRow("load three") << "actionLoadLastThree" << "homePage" << "pbLoadLastThreeInventory" << none;
    QTest::newRow("load last, sales") << "actionLoadLast" << "page_2" << QString() << none;
    // Locked, the catalogue page offers no save, so nothing is written into the station.
    QTest::newRow("write catalogue, locked") << "actionWriteCatalogue" << "page_4" << QString() << none;
    QTest::newRow("unlock") << "actionUnlock" << "page_4" << "pbUnlock" << none;
    QTest::newRow("edit catalogue") << "actionEditCatalogue" << "homePage" << "pbEditDatabase" << none;
    QTest::newRow("history") << "actionHistory" << "homePage" << "pbHistory" << none;
    QTest::newRow("open count") << "actionOpenCount" << "historyPage" << "pbHistoryOpen" << none;
}

void tst_Menus::actionsClickTheirPagesButtons()
{
    QFETCH(QString, action);
    QFETCH(QString, page);
    QFETCH(QString, button);
    QFETCH(QKeySequence, keys);
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    // The catalogue page is reached as the user reaches it, locked.
    if (page == QLatin1String("page_4"))
        window->findChild<QPushButton *>(QStringLiteral("pbEditDatabase"))->click();
    pages()->setCurrentWidget(window->findChild<QWidget *>(page));
    QCOMPARE(pages()->currentWidget()->objectName(), page);
    auto *entry = window->findChild<QAction *>(action);
    QVERIFY(entry);
    if (!keys.isEmpty())
        QCOMPARE(entry->shortcut(), keys);
    // Every button the entry could click is cut from its slot, so that only the click itself is counted.
    QList<std::shared_ptr<QSignalSpy>> spies;
    std::shared_ptr<QSignalSpy> expected;
    for (QPushButton *candidate : window->findChildren<QPushButton *>()) {
        QObject::disconnect(candidate, &QAbstractButton::clicked, nullptr, nullptr);
        auto spy = std::make_shared<QSignalSpy>(candidate, &QAbstractButton::clicked);
        spies.append(spy);
        if (candidate->objectName() == button)
            expected = spy;
    }
    QCOMPARE(entry->isEnabled(), !button.isEmpty());
    if (keys.isEmpty())
        entry->trigger();
    else
        QTest::keySequence(window.get(), keys);
    int clicks = 0;
    for (const auto &spy : qAsConst(spies))
        clicks += spy->count();
    QCOMPARE(clicks, button.isEmpty() ? 0 : 1);
    if (!button.isEmpty())
        QCOMPARE(expected->count(), 1);
}

void tst_Menus::helpOpensTheGuideAndTellsTheVersion()
{
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::HelpContents));
    QCOMPARE(interaction.openedUrls.size(), 1);
    const QString guide = QUrl(interaction.openedUrls.at(0)).toLocalFile();
    QVERIFY2(guide.endsWith(QLatin1String("/user-guide.md")) && QFile::exists(guide), qPrintable(guide));

    // Without a program for it the user learns where the guide is, rather than nothing.
    interaction.openUrlResult = false;
    QTest::keySequence(window.get(), QKeySequence(QKeySequence::HelpContents));
    QCOMPARE(interaction.asked.last().kind, QStringLiteral("message"));
    QVERIFY(interaction.asked.last().text.contains(QDir::toNativeSeparators(guide)));

    window->findChild<QAction *>(QStringLiteral("actionAbout"))->trigger();
    const QString about = interaction.asked.last().text;
    QVERIFY2(about.startsWith(QStringLiteral("Quarmel Inventory ") + QCoreApplication::applicationVersion()) ||
                 about.contains(QStringLiteral(QUARMEL_VERSION)),
             qPrintable(about));
    QVERIFY(about.contains(QStringLiteral("Station firmware: not read yet")));
}

void tst_Menus::mnemonicsUniquePerPage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QString();
    QTest::newRow("Czech") << QStringLiteral("cs_CZ");
}

void tst_Menus::mnemonicsUniquePerPage()
{
    QFETCH(QString, language);
    QTranslator translator;
    if (!language.isEmpty()) {
        // The build's catalogues, wherever the test runs from.
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../translations");
        QVERIFY2(translator.load(QStringLiteral("quarmel_") + language, folder), qPrintable(folder));
        QCoreApplication::installTranslator(&translator);
    }
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    QSet<QChar> menuLetters;
    for (const QAction *menu : window->menuBar()->actions()) {
        const QChar letter = mnemonic(menu->text());
        QVERIFY2(!letter.isNull() && !menuLetters.contains(letter), qPrintable(menu->text()));
        menuLetters.insert(letter);
    }
    for (const QMenu *menu : window->menuBar()->findChildren<QMenu *>()) {
        QSet<QChar> entries;
        for (const QAction *action : menu->actions()) {
            const QChar letter = mnemonic(action->text());
            QVERIFY2(action->isSeparator() || (!letter.isNull() && !entries.contains(letter)),
                     qPrintable(action->text()));
            entries.insert(letter);
        }
    }
    // The toggle of the appended items changes its text; its mnemonic must come back.
    window->findChild<QPushButton *>(QStringLiteral("pbAppendedItems"))->toggle();
    for (int i = 0; i < pages()->count(); ++i) {
        QWidget *page = pages()->widget(i);
        QSet<QChar> taken = menuLetters;
        QStringList texts;
        for (QAbstractButton *button : page->findChildren<QAbstractButton *>())
            if (!insideCompound(button))
                texts.append(button->text());
        for (QLabel *label : page->findChildren<QLabel *>())
            if (label->buddy())
                texts.append(label->text());
        QVERIFY(!texts.isEmpty());
        for (const QString &text : qAsConst(texts)) {
            const QChar letter = mnemonic(text);
            QVERIFY2(!letter.isNull(), qPrintable(page->objectName() + QLatin1String(": ") + text));
            QVERIFY2(!taken.contains(letter), qPrintable(page->objectName() + QLatin1String(": ") + text));
            taken.insert(letter);
        }
    }
    window.reset();
    QCoreApplication::removeTranslator(&translator);
}

void tst_Menus::geometryIsRememberedOnScreen_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<bool>("kept"); // the window comes back where it was
    QTest::newRow("on screen") << QPoint(16, 40) << true;
    QTest::newRow("off screen") << QPoint(9000, 7000) << false;
    QTest::newRow("above the top") << QPoint(-3000, -2000) << false;
}

void tst_Menus::geometryIsRememberedOnScreen()
{
    QFETCH(QPoint, position);
    QFETCH(bool, kept);
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QRect available = window->screen()->availableGeometry();
    window->resize(window->size().boundedTo(available.size() - QSize(80, 80)));
    window->move(position);
    QTRY_COMPARE(window->pos(), position);
    // Read once the layout has had its say: it keeps the window at its minimum size.
    const QSize size = window->size().expandedTo(window->minimumSizeHint());
    // Where the screen is too small for the window (Qt 5's offscreen screen), it is moved to fit.
    const bool fits = available.contains(window->frameGeometry());
    QVERIFY(window->close());

    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (kept && fits) {
        QCOMPARE(window->size(), size);
        QCOMPARE(window->pos(), position);
    }
    // Its title bar can be reached, and all of it is seen where the screen is large enough.
    const QRect frame = window->frameGeometry();
    QVERIFY2(available.contains(frame.topLeft()), qPrintable(QStringLiteral("%1,%2").arg(frame.x()).arg(frame.y())));
    if (frame.width() <= available.width())
        QVERIFY2(frame.right() <= available.right(), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()).arg(available.width()).arg(available.height())));
}

void tst_Menus::firstStartWelcome_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("catalogue"); // the names on the catalogue page afterwards
    QTest::addColumn<bool>("kept");             // the catalogue file is written at once
    QTest::newRow("empty") << "Start with an empty catalogue" << QStringList() << false;
    QTest::newRow("cancelled") << "not offered" << QStringList() << false;
    QTest::newRow("csv") << "Import a catalogue file (CSV)..." << QStringList{"Becherovka", "Cinzano"} << false;
    QTest::newRow("station") << "Read the catalogue from the station" << QStringList{"Absinth", "Fernet"}
                             << true;
}

void tst_Menus::firstStartWelcome()
{
    QFETCH(QString, choice);
    QFETCH(QStringList, catalogue);
    QFETCH(bool, kept);
    StationSimulator station;
    QString error;
    QVERIFY2(station.open(&error), qPrintable(error));
    qputenv("QUARMEL_PORT", station.devicePath().toLocal8Bit());
    station.setCatalogue({bottle(QStringLiteral("8594000000111"), QStringLiteral("Absinth")),
                          bottle(QStringLiteral("8594000000444"), QStringLiteral("Fernet"))});
    const QString csv = dataDir->filePath(QStringLiteral("import.csv"));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("8594000000222;Becherovka;Becherovka;1000;1500;600\n"
               "8594000000333;Cinzano;Cinzano;1000;1400;500\n");
    file.close();
    interaction.choiceAnswers = QStringList{choice};
    interaction.fileAnswers = QStringList{csv};

    window = std::make_unique<MainWindow>();
    window->show();
    QCOMPARE(interaction.asked.first().kind, QStringLiteral("choice"));
    QCOMPARE(interaction.asked.first().title, QStringLiteral("Welcome to Quarmel Inventory"));
    QVERIFY(interaction.asked.first().text.contains(QDir::toNativeSeparators(dataDir->path())));
    auto *table = window->findChild<QTableView *>(QStringLiteral("tvEditDatabase"));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), catalogue.size(), 15000);
    QStringList names;
    for (int row = 0; row < catalogue.size(); ++row) {
        QString name;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            if (catalogue.contains(table->model()->index(row, column).data().toString()))
                name = table->model()->index(row, column).data().toString();
        names.append(name);
    }
    QCOMPARE(names, catalogue);
    QCOMPARE(pages()->currentWidget()->objectName(),
             catalogue.isEmpty() ? QStringLiteral("homePage") : QStringLiteral("page_4"));
    QCOMPARE(QFile::exists(dataDir->filePath(QStringLiteral("database70.xml"))), kept);
    for (const ScriptedInteraction::Asked &asked : qAsConst(interaction.asked))
        QVERIFY2(asked.kind != QLatin1String("error"), qPrintable(asked.text));
    if (choice.startsWith(QLatin1String("Import"))) {
        // Not in the station yet: the page is open for Save, which writes it there and here.
        QVERIFY(window->findChild<QPushButton *>(QStringLiteral("pbSaveDatabase"))->isEnabled());
    }
}

void tst_Menus::everyFieldHasAnAccessibleName()
{
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QStringList unnamed;
    int checked = 0;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const bool field = qobject_cast<QAbstractItemView *>(widget) || qobject_cast<QAbstractSpinBox *>(widget) ||
                           qobject_cast<QChartView *>(widget) || qobject_cast<QComboBox *>(widget) ||
                           qobject_cast<QLineEdit *>(widget);
        if (!field || insideCompound(widget))
            continue;
        ++checked;
        if (widget->accessibleName().trimmed().isEmpty())
            unnamed.append(widget->objectName() + QLatin1Char('(') + QLatin1String(widget->metaObject()->className()) +
                           QLatin1Char(')'));
    }
    QVERIFY(checked >= 14);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

void tst_Menus::czechShowsCommasFilesKeepPoints()
{
    const InterfaceLocale czech(QStringLiteral("cs_CZ"));
    Inventory sales;
    SalesRow row;
    row.ean = QStringLiteral("8594000000111");
    row.name = QStringLiteral("0.5 Absinth"); // a name is never a number, even when it starts like one
    row.sellUnit = 40;
    row.pricePerUnit = 88.5;
    row.bottleVolume = 700;
    row.initialQuantity = 880;
    sales.rows.append(row);
    sales.calculate();
    const auto shown = [&sales](int column) { return sales.index(0, column).data().toString(); };
    QCOMPARE(shown(Inventory::NameColumn), QStringLiteral("0.5 Absinth"));
    QCOMPARE(shown(Inventory::InitialColumn), QStringLiteral("0,88"));
    QCOMPARE(shown(Inventory::PriceColumn), QStringLiteral("88,50"));
    QCOMPARE(shown(Inventory::SellUnitColumn), QStringLiteral("0,04"));
    ItemInventory items;
    QVERIFY2(SalesTotals::total(sales, items).contains(QRegularExpression(QStringLiteral("\\d,\\d\\d"))),
             qPrintable(SalesTotals::total(sales, items)));
    InventoryBottleList weighed;
    OverviewRow weighing;
    weighing.name = row.name;
    weighing.residue = 880;
    weighed.rows.append(weighing);
    QCOMPARE(weighed.index(0, InventoryBottleList::ResidueColumn).data().toString(), QStringLiteral("0,88"));

    // What is written for other programs and for the next start keeps the point.
    const QByteArray csv = TableFile::salesCsv(sales, items);
    QVERIFY2(csv.contains("0.88") && !csv.contains("0,88"), csv.constData());
    const QString table = dataDir->filePath(QStringLiteral("table.csv"));
    QString reason;
    QVERIFY2(TableFile::save(sales, items, table, QString(), &reason, nullptr, nullptr), qPrintable(reason));
    QFile saved(table);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY2(!bytes.contains("0,88") && !bytes.contains("88,5"), bytes.constData());
    QVERIFY2(weighed.toCSV().endsWith(";880\n"), weighed.toCSV().constData());
}

void tst_Menus::namesSortInTheInterfaceLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("expected");
    const QStringList czech = {QStringLiteral("Cider"), QStringLiteral("Čaj"), QStringLiteral("Dub"),
                               QStringLiteral("Hruška"), QStringLiteral("Chivas"), QStringLiteral("Rum 2"),
                               QStringLiteral("Rum 10")};
    QTest::newRow("Czech") << QStringLiteral("cs_CZ") << czech;
    QTest::newRow("English") << QStringLiteral("en_GB")
                             << QStringList{QStringLiteral("Čaj"), QStringLiteral("Chivas"),
                                            QStringLiteral("Cider"), QStringLiteral("Dub"),
                                            QStringLiteral("Hruška"), QStringLiteral("Rum 2"),
                                            QStringLiteral("Rum 10")};
}

void tst_Menus::namesSortInTheInterfaceLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, expected);
    const InterfaceLocale interfaceLocale(locale);
    const QStringList names = {QStringLiteral("Rum 10"), QStringLiteral("Chivas"), QStringLiteral("Hruška"),
                               QStringLiteral("Čaj"), QStringLiteral("Rum 2"), QStringLiteral("Dub"),
                               QStringLiteral("Cider")};
    Database catalogue;
    QList<Bottle> bottles;
    InventoryBottleList weighed;
    for (int i = 0; i < names.size(); ++i) {
        bottles.append(bottle(QStringLiteral("85940000001%1").arg(i, 2, 10, QLatin1Char('0')), names.at(i)));
        OverviewRow row;
        row.name = names.at(i);
        weighed.rows.append(row);
    }
    catalogue.setBottles(bottles);
    const auto column = [](const QAbstractItemModel &model, int column) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts.append(model.index(row, column).data().toString());
        return texts;
    };
    catalogue.sort(Database::FullNameColumn, Qt::AscendingOrder);
    QCOMPARE(column(catalogue, Database::FullNameColumn), expected);
    catalogue.sort(Database::DisplayNameColumn, Qt::DescendingOrder);
    QStringList reversed(expected.crbegin(), expected.crend());
    QCOMPARE(column(catalogue, Database::DisplayNameColumn), reversed);
    weighed.sort(InventoryBottleList::NameColumn, Qt::AscendingOrder);
    QCOMPARE(column(weighed, InventoryBottleList::NameColumn), expected);
}

// A keyboard user passes a table with one Tab, and walks its cells with the arrows.
void tst_Menus::tabLeavesTheTable()
{
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->findChild<QPushButton *>(QStringLiteral("pbEditDatabase"))->click();
    auto *view = window->findChild<QTableView *>(QStringLiteral("tvEditDatabase"));
    QTRY_VERIFY(view->isVisible());
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, Database::DisplayNameColumn));
    QTRY_COMPARE(QApplication::focusWidget(), view);
    QTest::keyClick(view, Qt::Key_Right);
    QCOMPARE(view->currentIndex().column(), int(Database::FullNameColumn));
    QTest::keyClick(view, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != view);
    QVERIFY(!view->isAncestorOf(QApplication::focusWidget()));
}

// "Use in Inventory" shows one box, in the middle of its wide column, toggled by a click on it or by Space.
void tst_Menus::oneCheckBoxInTheMiddle()
{
    seedCatalogue();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->findChild<QPushButton *>(QStringLiteral("pbEditDatabase"))->click();
    window->findChild<QPushButton *>(QStringLiteral("pbUnlock"))->click();
    auto *view = window->findChild<QTableView *>(QStringLiteral("tvEditDatabase"));
    QTRY_VERIFY(view->isVisible());
    const QModelIndex cell = view->model()->index(0, Database::UseInInventoryColumn);
    const auto checked = [&cell] { return cell.data(Qt::CheckStateRole).toInt() == Qt::Checked; };
    const bool before = checked();
    view->scrollTo(cell);
    const QRect rect = view->visualRect(cell);
    QVERIFY2(rect.width() > 60, "the header is wider than a box");
    // Drawn once: the left of the cell, where Qt puts a box of its own, is plain, and its middle is not.
    const QImage shown = view->viewport()->grab().toImage();
    const auto plain = [&shown](const QRect &area) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.pixel(x, y) != shown.pixel(area.topLeft()))
                    return false;
        return true;
    };
    const int half = 8;
    const QRect left(rect.left() + 2, rect.center().y() - half, 2 * half, 2 * half);
    QVERIFY(plain(left));
    QVERIFY(!plain(QRect(rect.center() - QPoint(half, half), QSize(2 * half, 2 * half))));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(checked(), !before);
    // Where Qt draws a box of its own, at the left of the cell, there is none any more.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(rect.left() + 10, rect.center().y()));
    QCOMPARE(checked(), !before);
    view->setFocus();
    view->setCurrentIndex(cell);
    QTRY_COMPARE(QApplication::focusWidget(), view);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(checked(), before);
    QTest::keyClick(view, Qt::Key_Space);
    QCOMPARE(checked(), !before);
}

QTEST_MAIN(tst_Menus)
#include "tst_menus.moc"
