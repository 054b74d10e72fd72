#include "mainwindow.h"
#include "settingsdialog.h"
#include "progressdialog.h"

#include "catalogueupdate.h"
#include "cipher.h"
#include "database.h"
#include "history.h"
#include "historymodel.h"
#include "interaction.h"
#include "inventory.h"
#include "inventorybottlelist.h"
#include "iteminventory.h"
#include "settings.h"
#include "stationsimulator.h"
#include "testsupport.h"
#include "tillpanel.h"
#include "tillvariancemodel.h"

#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QSpinBox>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtTest>

#include <memory>

#include <unistd.h>

namespace {
// Prints into a PDF instead of asking for a printer.
class TestInteraction : public ScriptedInteraction
{
public:
    QString pdfPath;
    QString offeredPdf; // the file the print dialog offered for a printout into a file
    QString browsedFolder; // where the file dialog was last looking, when not the chosen file's folder

    QString fileDialog(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                       bool save, QString *folder) override
    {
        const QString chosen =
            ScriptedInteraction::fileDialog(parent, title, startPath, filter, save, folder);
        if (folder && !browsedFolder.isEmpty())
            *folder = browsedFolder;
        return chosen;
    }

    bool printDialog(QWidget *parent, QPrinter *printer, const QString &title) override
    {
        offeredPdf = printer->outputFileName();
        const bool accepted = ScriptedInteraction::printDialog(parent, printer, title);
        if (accepted) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdfPath);
        }
        return accepted;
    }

    QStringList texts(const QString &kind) const
    {
        QStringList result;
        for (const Asked &question : asked)
            if (question.kind == kind)
                result.append(question.text);
        return result;
    }
};

Bottle bottle(const QString &ean, const QString &name, quint64 full, quint64 empty, quint64 volume)
{
    Bottle b;
    b.ean = ean;
    b.fullName = name;
    b.displayName = name.left(15);
    b.fullWeight = full;
    b.emptyWeight = empty;
    b.volume = volume;
    b.modified = QDateTime(QDate(2025, 1, 1), QTime(12, 0));
    b.inserted = b.modified;
    return b;
}

QList<Bottle> sampleCatalogue()
{
    return {bottle(QStringLiteral("8594000000111"), QStringLiteral("Absinth"), 1200, 500, 700),
            bottle(QStringLiteral("8594000000222"), QStringLiteral("Becherovka"), 1500, 600, 1000),
            bottle(QStringLiteral("8594000000333"), QStringLiteral("Cinzano"), 1400, 500, 1000)};
}

InventoryBottle weighing(const QString &ean, quint64 weight)
{
    InventoryBottle b;
    b.ean = ean;
    b.weight = weight;
    return b;
}

// The failure box of every write: the fixed text, then the file and the system's reason on their own line.
bool isSaveFailureWithReason(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    return lines.size() >= 2 && lines.at(0) == QLatin1String("Failed to save file") &&
           lines.at(1).contains(QLatin1String(": "));
}

// The catalogue behind the catalogue page's view, through the column of costs shown beside it.
Database *catalogueOf(QTableView *view)
{
    auto *proxy = qobject_cast<QAbstractProxyModel *>(view->model());
    return qobject_cast<Database *>(proxy ? proxy->sourceModel() : view->model());
}

// What a row of a table shows, cell by cell.
QStringList rowTexts(const QAbstractItemModel *model, int row)
{
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

// Opens the editor of `cell` as a double-click would, types `typed` over its text (nothing when empty) and
// leaves it with `key`. False when no editor opened or it did not close.
bool editCell(QTableView *view, const QModelIndex &cell, const QString &typed, Qt::Key key)
{
    view->setCurrentIndex(cell);
    view->edit(cell);
    QPointer<QLineEdit> editor;
    for (QLineEdit *open : view->viewport()->findChildren<QLineEdit *>())
        if (open->isVisible())
            editor = open;
    if (!editor)
        return false;
    if (!typed.isEmpty()) {
        editor->selectAll();
        QTest::keyClicks(editor, typed);
    }
    QTest::keyClick(editor, key);
    // Enter commits on the next turn of the event loop.
    return QTest::qWaitFor([&editor] { return !editor || !editor->isVisible(); });
}

QString counterOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QXmlStreamReader reader(&file);
    while (reader.readNextStartElement() || !reader.atEnd()) {
        if (reader.isStartElement() && reader.name() == QLatin1String("counter"))
            return reader.readElementText();
        if (reader.hasError())
            break;
    }
    return QString();
}
} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void readableUnderADarkPalette();

    void loadLastInventoryShowsResidues();
    void downloadListsDoubtfulWeighingsOnce();
    void threeInventoriesInStationOrder_data();
    void threeInventoriesInStationOrder();
    void stationFailures_data();
    void stationFailures();
    void stationRefusedToUserSaysWhatToDo();
    void noStoredInventoryIsRefused_data();
    void noStoredInventoryIsRefused();
    void countUpWithoutLastTable_data();
    void countUpWithoutLastTable();
    void saveTableWritesTwoIdenticalFiles();
    void failedSaveKeepsRaisedCounter();
    void twoCountsInOneSessionGetTheirOwnPeriods();
    void eurCountReopensInEurFromTheHistory();
    void cutOffSaveIsReportedAtTheNextStart();
    void countUpCarriesOverLastTable();
    void salesPageSaysWhatTheDrinksCost();
    void fromStockFilledFromTheStoresIssues();
    void sumsFollowEditsAndCurrency();
    void editorsKeepWhatWasTyped_data();
    void editorsKeepWhatWasTyped();
    void importErrors_data();
    void importErrors();
    void salesCsvHoldsItemsAfterBottles();
    void overviewExports_data();
    void overviewExports();
    void spreadsheetHandOffFailures_data();
    void spreadsheetHandOffFailures();
    void unrecordedDownloadIsTold();
    void dataFolderRemovedIsToldAndNotMadeAgain();
    void printsToPdf_data();
    void printsToPdf();
    void leavingWithUnsavedChanges_data();
    void leavingWithUnsavedChanges();
    void oldCountIsShownReadOnlyBesideTheCountInProgress();
    void appendedItemsToggleAndAdd();
    void deleteSelectedRows();
    void headerClickSelectsNoColumn_data();
    void headerClickSelectsNoColumn();
    void catalogueLockAddDelete();
    void catalogueAddItemChecksEan_data();
    void catalogueAddItemChecksEan();
    void catalogueNumberCells_data();
    void catalogueNumberCells();
    void catalogueCostsLeaveTheCatalogueAlone();
    void unknownBottleCanBeAddedFromTheOverview();
    void catalogueSaveGoesIntoStationAndFile();
    void catalogueFileFailureIsReported();
    void catalogueSaveWithoutStation();
    void unwritableDataFolderIsReportedAtStart();
    void catalogueTooLargeForStation();
    void damagedCatalogueIsKeptAndReported();
    void refreshDatabaseShowsAndAppliesUpdate();
    void refreshDatabaseFailures_data();
    void refreshDatabaseFailures();
    void silentUpdateServerIsGivenUp();

private:
    std::unique_ptr<MainWindow> makeWindow();
    template <typename T> T *child(const char *name) const
    {
        T *widget = window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qWarning("no widget %s", name);
        return widget;
    }
    int page() const { return child<QStackedWidget>("stackedWidget")->currentIndex(); }
    void click(const char *name) { child<QPushButton>(name)->click(); }
    bool readOverview();
    bool reachSalesPage();
    Inventory *salesModel() const;
    ItemInventory *itemsModel() const;
    QString lastCopy() const { return dataDir->filePath(QStringLiteral("lastInventory.inv")); }

    QByteArray originalTmpDir;
    std::unique_ptr<QTemporaryDir> dataDir;
    std::unique_ptr<QTemporaryDir> workDir;
    std::unique_ptr<StationSimulator> station;
    TestInteraction interaction;
    std::unique_ptr<MainWindow> window;
};

void tst_MainWindow::initTestCase()
{
    // Remembered folders then live in the test location, never in the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
    originalTmpDir = qgetenv("TMPDIR");
}

void tst_MainWindow::init()
{
    QSettings(QStringLiteral("Quarmel"), QStringLiteral("Quarmel")).clear();
    dataDir = std::make_unique<QTemporaryDir>();
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(dataDir->isValid() && workDir->isValid());
    qputenv("QUARMEL_DATA_DIR", dataDir->path().toLocal8Bit());
    qputenv("TMPDIR", workDir->path().toLocal8Bit());
    qunsetenv("QUARMEL_UPDATE_URL");
    Settings::setCurrency(Settings::CZK);

    Database seed;
    seed.setBottles(sampleCatalogue());
    QVERIFY(seed.saveToFile(dataDir->filePath(QStringLiteral("database70.xml"))));

    station = std::make_unique<StationSimulator>();
    QString error;
    QVERIFY2(station->open(&error), qPrintable(error));
    qputenv("QUARMEL_PORT", station->devicePath().toLocal8Bit());
    station->setCatalogue(sampleCatalogue());
    station->setFirmwareTime(QStringLiteral("May  7 2013"), QStringLiteral("14:30:05"));
    station->setInventory(0, {weighing(QStringLiteral("8594000000111"), 850)});
    station->setInventory(1, {weighing(QStringLiteral("8594000000111"), 1060)});
    station->setInventory(2, {weighing(QStringLiteral("8594000000111"), 1130)});
    station->setLastInventoryNumber(1); // the station counts from 1: slot 0 is the newest

    interaction = TestInteraction();
    interaction.pdfPath = workDir->filePath(QStringLiteral("print.pdf"));
    Interaction::setInstance(&interaction);
}

void tst_MainWindow::cleanup()
{
    window.reset();
    Interaction::setInstance(nullptr);
    station.reset();
    workDir.reset();
    dataDir.reset();
    if (originalTmpDir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", originalTmpDir);
}

namespace {
double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

// The contrast between the commonest colour of a widget (its background) and the colour farthest from it (its
// text), as the web's guidelines measure it: 1 for none, 21 for black on white.
double textContrast(QWidget *widget)
{
    // Seen in the window: a widget grabbed alone is drawn on the palette's colour, not on its parents'.
    QWidget *top = widget->window();
    const QImage image =
        top->grab(QRect(widget->mapTo(top, QPoint(0, 0)), widget->size())).toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    const double back = luminance(background);
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double fore = luminance(it.key());
        best = std::max(best, (std::max(fore, back) + 0.05) / (std::min(fore, back) + 0.05));
    }
    return best;
}
} // namespace

// A desktop with a dark theme hands the program light text colours; the style sheet's light pages must
// still show every text dark on light (the three counts' labels and the sales totals were white on cream).
// QUARMEL_SCREENSHOTS=folder keeps the pages seen, for the user guide.
void tst_MainWindow::readableUnderADarkPalette()
{
    const QPalette kept = QApplication::palette();
    const QString keptStyle = QApplication::style()->objectName();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::AlternateBase, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::ToolTipBase, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::ToolTipText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    QApplication::setPalette(dark);
    struct Restore
    {
        QPalette palette;
        QString style;
        ~Restore()
        {
            QApplication::setPalette(palette);
            QApplication::setStyle(QStyleFactory::create(style));
        }
    } restore{kept, keptStyle};

    const QString shots = qEnvironmentVariable("QUARMEL_SCREENSHOTS");
    window = makeWindow();
    window->resize(1280, 720);
    const auto check = [this, &shots](const QString &name) {
        QWidget *shown = child<QStackedWidget>("stackedWidget")->currentWidget();
        QCoreApplication::processEvents();
        if (!shots.isEmpty())
            window->grab().save(shots + QLatin1Char('/') + name + QStringLiteral(".png"));
        QStringList faint;
        for (QWidget *widget : shown->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(widget);
            const auto *button = qobject_cast<QAbstractButton *>(widget);
            const QString text = label ? label->text() : button ? button->text() : QString();
            if (text.trimmed().isEmpty() || !widget->isVisible() || (button && !button->isEnabled()))
                continue;
            const double contrast = textContrast(widget);
            if (contrast < 3.0)
                faint.append(QStringLiteral("%1 \"%2\" %3").arg(widget->objectName(), text).arg(contrast, 0, 'f', 1));
        }
        return faint.join(QStringLiteral(", "));
    };
    QCOMPARE(check(QStringLiteral("dark-home")), QString());
    click("pbLoadLastThreeInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 4, 15000);
    QCOMPARE(check(QStringLiteral("dark-three")), QString());
    // Which count is chosen shows: a radio button not chosen is drawn on a light base, not filled dark.
    auto *notChosen = child<QRadioButton>("rbInventory_2");
    QVERIFY(!notChosen->isChecked());
    QStyleOptionButton option;
    option.initFrom(notChosen);
    const QRect dot = notChosen->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, notChosen);
    const QImage drawn = window->grab(QRect(notChosen->mapTo(window.get(), dot.center()), QSize(1, 1))).toImage();
    QVERIFY2(luminance(drawn.pixel(0, 0)) > 0.5, qPrintable(QColor(drawn.pixel(0, 0)).name()));
    click("pbBack");
    QVERIFY(reachSalesPage());
    QCOMPARE(check(QStringLiteral("dark-sales")), QString());
}

std::unique_ptr<MainWindow> tst_MainWindow::makeWindow()
{
    auto w = std::make_unique<MainWindow>();
    w->show();
    return w;
}

bool tst_MainWindow::readOverview()
{
    click("pbLoadLastInventory");
    return QTest::qWaitFor([this] { return page() == 3; }, 10000);
}

bool tst_MainWindow::reachSalesPage()
{
    if (!readOverview())
        return false;
    click("pbInventory_2");
    return page() == 2;
}

Inventory *tst_MainWindow::salesModel() const
{
    // The view shows the table through its cost columns.
    QAbstractItemModel *model = child<QTableView>("tvInventory")->model();
    auto *proxy = qobject_cast<QAbstractProxyModel *>(model);
    return qobject_cast<Inventory *>(proxy ? proxy->sourceModel() : model);
}

ItemInventory *tst_MainWindow::itemsModel() const
{
    return qobject_cast<ItemInventory *>(child<QTableView>("tvItemInventory")->model());
}

void tst_MainWindow::loadLastInventoryShowsResidues()
{
    window = makeWindow();
    QCOMPARE(page(), 0);
    QVERIFY(readOverview());

    auto *overview = qobject_cast<InventoryBottleList *>(child<QTableView>("tvInventoryOverview")->model());
    QVERIFY(overview);
    QAbstractItemModelTester tester(overview);
    QCOMPARE(overview->rowCount(), 1);
    QCOMPARE(overview->index(0, 0).data().toString(), QStringLiteral("Absinth"));
    QCOMPARE(overview->index(0, 1).data().toString(), QStringLiteral("0.35"));
    // The firmware by its build time, the station simulator's "May  7 2013 14:30:05".
    QCOMPARE(child<QLabel>("lblQuarmelVersion")->text(), QStringLiteral("Quarmel FW: 07.05.2013 14:30"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Quarmel Inventory"));
    // With a title bar and a panel the window still fits a screen 768 pixels high.
    QVERIFY2(window->height() <= 680 && window->minimumSizeHint().height() <= 680,
             qPrintable(QStringLiteral("%1 %2").arg(window->height()).arg(window->minimumSizeHint().height())));
    QCOMPARE(child<QLabel>("lblInventoryDate_2")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    QVERIFY(interaction.texts("error").isEmpty());
}

void tst_MainWindow::downloadListsDoubtfulWeighingsOnce()
{
    // Absinth: full 1200 g, empty 500 g
    for (int slot = 0; slot < 3; ++slot)
        station->setInventory(slot, {weighing(QStringLiteral("8594000000111"), 400),
                                     weighing(QStringLiteral("8594000000111"), 1300)});
    window = makeWindow();
    QVERIFY(readOverview());
    QTRY_COMPARE(interaction.asked.size(), 2);
    QCOMPARE(interaction.asked.at(0).title, QStringLiteral("Error"));
    QCOMPARE(interaction.asked.at(1).title, QStringLiteral("Weighings to check"));
    const QString summary = interaction.asked.at(1).text;
    QVERIFY2(summary.contains(QStringLiteral("Absinth: Weighed 400 g, less than the empty bottle")),
             qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("Absinth: Weighed 1300 g, 100 g more than the full bottle")));
    QCOMPARE(summary.count(QStringLiteral("Weighed 2 times")), 1);
    auto *overview = qobject_cast<InventoryBottleList *>(child<QTableView>("tvInventoryOverview")->model());
    QVERIFY(overview);
    QCOMPARE(overview->index(0, 1).data().toString(), QStringLiteral("0.00"));
    QCOMPARE(overview->index(1, 1).data().toString(), QStringLiteral("0.80"));

    // A tolerance of 120 g, set on the home page, takes the 100 g too many for a full bottle filled
    // generously: nothing is left to point out but the second weighing, and the residue stays.
    QVERIFY(overview->index(1, 0).data(DoubtRole).toInt() & Doubt::AboveFull);
    // The doubt the colour marks is spoken by a screen reader as the cell's description.
    QVERIFY(!overview->index(1, 1).data(Qt::AccessibleDescriptionRole).toString().isEmpty());
    QCOMPARE(overview->index(1, 1).data(Qt::AccessibleDescriptionRole),
             overview->index(1, 1).data(Qt::ToolTipRole));
    bool answered = false;
    QTimer::singleShot(0, window.get(), [&answered] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<SettingsDialog *>(top);
            if (!dialog || !dialog->isVisible())
                continue;
            dialog->findChild<QSpinBox *>(QStringLiteral("sbTolerance"))->setValue(120);
            dialog->accept();
            answered = true;
        }
    });
    click("pbSettings");
    QVERIFY(answered);
    QCOMPARE(fullWeightTolerance(), 120);
    QCOMPARE(overview->index(1, 0).data(DoubtRole).toInt(), int(Doubt::WeighedAgain));
    QVERIFY(!overview->index(1, 1).data(Qt::ToolTipRole).toString().contains(QStringLiteral("800 ml")));
    QCOMPARE(overview->index(1, 1).data().toString(), QStringLiteral("0.80"));
}

void tst_MainWindow::threeInventoriesInStationOrder_data()
{
    QTest::addColumn<int>("lastSlot");
    QTest::addColumn<QStringList>("residues"); // under Last, Next to Last, Two before the Last

    const QString s0 = QStringLiteral("0.35"), s1 = QStringLiteral("0.56"), s2 = QStringLiteral("0.63");
    QTest::newRow("last 0") << 0 << QStringList{s0, s2, s1};
    QTest::newRow("last 1") << 1 << QStringList{s1, s0, s2};
    QTest::newRow("last 2") << 2 << QStringList{s2, s1, s0};
}

void tst_MainWindow::threeInventoriesInStationOrder()
{
    QFETCH(int, lastSlot);
    QFETCH(QStringList, residues);
    station->setLastInventoryNumber(lastSlot + 1);
    window = makeWindow();

    click("pbLoadLastThreeInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 4, 15000);
    QCOMPARE(child<QLabel>("lblQuarmelVersion")->text(), QString()); // not asked for: nothing to show
    QVERIFY(child<QRadioButton>("rbInventory_1")->isChecked());
    const char *views[] = {"tvInventoryOverview_1", "tvInventoryOverview_2", "tvInventoryOverview_3"};
    for (int k = 0; k < 3; ++k) {
        QAbstractItemModel *model = child<QTableView>(views[k])->model();
        QVERIFY(model);
        QCOMPARE(model->index(0, 1).data().toString(), residues.at(k));
    }

    // The spreadsheet hand-off exports the list on the page, not the last single read.
    child<QRadioButton>("rbInventory_3")->setChecked(true);
    click("pbSelectInventory");
    QCOMPARE(page(), 3);
    click("pbInventoryOverviewExportExcel");
    QCOMPARE(interaction.openedUrls.size(), 1);
    QCOMPARE(interaction.openedUrls.constFirst(),
             QUrl::fromLocalFile(workDir->filePath(QStringLiteral("inv.xlsx"))).toString());
    QVERIFY(TestSupport::readFile(workDir->filePath(QStringLiteral("inv.xlsx"))).startsWith("PK\x03\x04"));
}

void tst_MainWindow::stationFailures_data()
{
    QTest::addColumn<bool>("attached");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");

    const QString notConnected = QStringLiteral("Quarmel must be connected to download inventory.");
    const QString silent = QStringLiteral("Timeout Error, Quarmel not connected?");
    QTest::newRow("no station, last") << false << "pbLoadLastInventory" << notConnected;
    QTest::newRow("no station, three") << false << "pbLoadLastThreeInventory" << notConnected;
    QTest::newRow("silent station") << true << "pbLoadLastInventory" << silent;
    QTest::newRow("silent station, three") << true << "pbLoadLastThreeInventory" << silent;
    QTest::newRow("silent station, catalogue") << true << "pbSaveDatabase" << silent;
}

void tst_MainWindow::stationFailures()
{
    QFETCH(bool, attached);
    QFETCH(QString, button);
    QFETCH(QString, message);
    if (attached)
        station->faults.silentAfter = 1;
    else
        qputenv("QUARMEL_PORT", workDir->filePath(QStringLiteral("no-such-tty")).toLocal8Bit());
    window = makeWindow();
    const bool catalogue = button == QLatin1String("pbSaveDatabase");
    if (catalogue) {
        click("pbEditDatabase");
        click("pbUnlock");
        // Four bottles take a second block, which the station no longer answers.
        interaction.textAnswers = QStringList{QStringLiteral("8594000000440")};
        click("pbAddRow");
    }

    click(button.toLatin1().constData());
    QVERIFY(window->findChild<ProgressDialog *>()->isVisible() || !interaction.asked.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(interaction.texts("error").size(), 1, 15000);
    QCOMPARE(interaction.texts("error").constFirst(), message);
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Error"));
    QCOMPARE(page(), catalogue ? 1 : 0);
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    if (catalogue)
        QVERIFY(child<QPushButton>("pbSaveDatabase")->isEnabled());
}

void tst_MainWindow::stationRefusedToUserSaysWhatToDo()
{
    // Root opens any device; CI runs this test once more as an ordinary account.
    if (::geteuid() == 0)
        QSKIP("needs an ordinary user: root may open any device");
    const QString device = station->devicePath();
    QVERIFY(QFile::setPermissions(device, QFileDevice::Permissions()));
    window = makeWindow();

    click("pbLoadLastInventory");
    QTRY_COMPARE(interaction.texts("error").size(), 1);
    const QString text = interaction.texts("error").constFirst();
    QVERIFY2(text.startsWith(QStringLiteral("The station is connected at ") + device), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("dialout")), qPrintable(text));
    QCOMPARE(page(), 0);
}

void tst_MainWindow::noStoredInventoryIsRefused_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("stored"); // the station's byte; the link reports one less
    // A station that has taken no inventory reports -1; anything past 2 names no slot either.
    QTest::newRow("last, none yet") << "pbLoadLastInventory" << 0;
    QTest::newRow("three, none yet") << "pbLoadLastThreeInventory" << 0;
    QTest::newRow("last, past the ring") << "pbLoadLastInventory" << 4;
    QTest::newRow("three, past the ring") << "pbLoadLastThreeInventory" << 4;
}

void tst_MainWindow::noStoredInventoryIsRefused()
{
    QFETCH(QString, button);
    QFETCH(int, stored);
    station->setLastInventoryNumber(stored);
    window = makeWindow();
    QSignalSpy requests(station.get(), &StationSimulator::requestReceived);
    QVERIFY(requests.isValid());

    click(button.toLatin1().constData());
    QTRY_COMPARE_WITH_TIMEOUT(interaction.texts("error").size(), 1, 10000);
    QVERIFY(interaction.texts("error").constFirst().contains(QStringLiteral("no stored inventory")));
    QCOMPARE(page(), 0);
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    // Nothing past the number was asked for: no inventory area was read as weighings.
    for (const QList<QVariant> &request : qAsConst(requests))
        QVERIFY(request.at(1).toInt() < 48000 || request.at(1).toInt() >= 60000);
}

void tst_MainWindow::countUpWithoutLastTable_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("copy"); // "lastInventory.inv"
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("mark"); // after the date of the last saved table
    QTest::addColumn<QString>("said"); // in the warning
    QTest::addColumn<double>("price"); // carried to the row
    const QStringList damaged{QStringLiteral("Unable to import table")};
    const QString broken = QStringLiteral(" (damaged)");
    const QByteArray whole("<?xml version=\"1.0\"?><inventory><counter>4</counter>"
                           "<bottle ean=\"8594000000111\"><pricePerUnit>25</pricePerUnit>"
                           "<finalQuantity>900</finalQuantity></bottle>"
                           "<item><name>Peanuts</name><finalQuantity>5</finalQuantity></item></inventory>");
    // A new bar's first count sells everything negatively; one message says why.
    QTest::newRow("first count") << false << QByteArray() << QStringList{QStringLiteral("Weighings to check")}
                                 << ""
                                 << "" << 0.0;
    QTest::newRow("not a table") << true
                                 << QByteArray("<?xml version=\"1.0\"?><inventory><bottle/></inventory>")
                                 << damaged << broken << "a row has no EAN" << 0.0;
    QTest::newRow("empty") << true << QByteArray() << damaged << broken << "not an inventory table" << 0.0;
    // The prices read before the damage are kept; the initial quantities, which must be whole, are not.
    QTest::newRow("cut off") << true << whole.left(whole.size() - 20) << damaged << broken
                             << "prices of the 1 rows" << 25.0;
    QTest::newRow("NUL bytes") << true << QByteArray(whole).replace("<counter>", QByteArray(9, '\0'))
                               << damaged << broken << "Line 1" << 0.0;
    QTest::newRow("final quantity that is not a number")
        << true << QByteArray(whole).replace("<finalQuantity>900", "<finalQuantity>1x00") << damaged << broken
        << "row 1 \"\" (EAN 8594000000111): finalQuantity \"1x00\" is not a number" << 0.0;
    // A folder stands for a file the user may not read (the tests may run as root): never "the first count".
    QTest::newRow("unreadable") << true << QByteArray("folder") << damaged << " (cannot be read)"
                                << "cannot be read: " << 0.0;
}

void tst_MainWindow::countUpWithoutLastTable()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, copy);
    QFETCH(QStringList, warnings);
    QFETCH(QString, mark);
    QFETCH(QString, said);
    QFETCH(double, price);
    if (copy == "folder")
        QVERIFY(QDir().mkpath(lastCopy()));
    else if (exists)
        QVERIFY(TestSupport::writeFile(lastCopy(), copy));
    window = makeWindow();
    // A copy that does not read whole is not shown as good, and carries no quantity, not even of the
    // appended items.
    if (exists)
        QVERIFY(child<QLabel>("lblLastSavedInventoryTime")->text().endsWith(mark));
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    QVERIFY(sales);
    QAbstractItemModelTester tester(sales);
    QCOMPARE(sales->rowCount(), 1);
    QCOMPARE(sales->rows.at(0).initialQuantity, qint64(0));
    QCOMPARE(sales->rows.at(0).pricePerUnit, price);
    QCOMPARE(sales->rows.at(0).measuredValue, qint64(350));
    QCOMPARE(itemsModel()->rowCount(), 0);
    QStringList asked;
    for (const ScriptedInteraction::Asked &question : qAsConst(interaction.asked))
        asked << question.title;
    QCOMPARE(asked, warnings);
    if (!said.isEmpty())
        QVERIFY2(interaction.texts("message").constLast().contains(said),
                 qPrintable(interaction.texts("message").constLast()));
    QCOMPARE(sales->opening, !exists);
    const QString today = QDate::currentDate().toString("dd.MM.yyyy");
    QCOMPARE(child<QLabel>("lblInventory")->text(), QStringLiteral("Sales: %1 - %1").arg(today));
    if (!exists)
        QCOMPARE(child<QLabel>("lblLastSavedInventoryTime")->text(), QStringLiteral("---"));

    // Nothing typed yet: leaving asks nothing.
    click("pbBack_4");
    QCOMPARE(page(), 0);
    QCOMPARE(interaction.asked.size(), warnings.size());
}

void tst_MainWindow::saveTableWritesTwoIdenticalFiles()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    salesModel()->setData(salesModel()->index(0, 2), 25.0);
    QVERIFY(salesModel()->modified);
    const quint32 before = salesModel()->counter;

    // Cancelling leaves the counter alone.
    click("pbSaveInventory");
    QCOMPARE(salesModel()->counter, before);
    QVERIFY(interaction.startPaths.constLast().endsWith(QStringLiteral(".inv")));
    QVERIFY(interaction.startPaths.constLast().contains(QStringLiteral("/inv_")));

    const QString first = workDir->filePath(QStringLiteral("first.inv"));
    const QString second = workDir->filePath(QStringLiteral("second.inv"));
    interaction.fileAnswers = QStringList{first, second};
    interaction.browsedFolder = dataDir->path();
    click("pbSaveInventory");
    QCOMPARE(TestSupport::readFile(first), TestSupport::readFile(lastCopy()));
    QVERIFY(!TestSupport::readFile(first).isEmpty());
    QCOMPARE(counterOf(first), QString::number(before + 1));
    QCOMPARE(child<QLabel>("lblLastSavedInventoryTime")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    QVERIFY(!salesModel()->modified);

    click("pbSaveInventory");
    QCOMPARE(counterOf(second), QString::number(before + 2));
    QCOMPARE(TestSupport::readFile(second), TestSupport::readFile(lastCopy()));
    // The next Save Table starts in the folder of the last one.
    click("pbSaveInventory");
    QVERIFY(interaction.startPaths.constLast().startsWith(workDir->path() + QStringLiteral("/inv_")));

    // Saved: Back leaves without a question.
    const int questions = interaction.asked.size();
    click("pbBack_4");
    QCOMPARE(page(), 0);
    QCOMPARE(interaction.asked.size(), questions);
}

void tst_MainWindow::failedSaveKeepsRaisedCounter()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    const quint32 before = salesModel()->counter;
    interaction.asked.clear();
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("missing/folder/t.inv")),
                                          workDir->filePath(QStringLiteral("t.inv"))};
    click("pbSaveInventory");
    QCOMPARE(interaction.texts("message").size(), 1);
    QVERIFY(isSaveFailureWithReason(interaction.texts("message").constFirst()));
    QVERIFY(!QFile::exists(lastCopy()));

    // The failed save took its number for good, so no two documents ever go out with one number.
    QCOMPARE(salesModel()->counter, before + 1);
    click("pbSaveInventory");
    QCOMPARE(counterOf(workDir->filePath(QStringLiteral("t.inv"))), QString::number(before + 2));
}

void tst_MainWindow::twoCountsInOneSessionGetTheirOwnPeriods()
{
    // Given: a window open since long before the count
    window = makeWindow();
    const QDateTime opened = QDateTime::currentDateTime();

    // When: the first count, weighed last night, is counted up now and its end corrected on the sales page
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    QVERIFY(sales->timeEnd >= opened.addSecs(-1));
    auto *end = child<QDateTimeEdit>("dteCountEnd");
    QVERIFY(end && end->isVisible());
    const QDateTime lastNight(QDate::currentDate().addDays(-1), QTime(22, 0));
    end->setDateTime(lastNight);
    QCOMPARE(sales->timeEnd, lastNight);
    QVERIFY(sales->modified);
    const QString first = workDir->filePath(QStringLiteral("first.inv"));
    interaction.fileAnswers = QStringList{first};
    click("pbSaveInventory");
    QCOMPARE(counterOf(first), QStringLiteral("1"));
    const QByteArray firstBytes = TestSupport::readFile(first);
    click("pbBack_4");

    // Then: the second count starts where the first ended and ends when it is counted up; the same download
    // counted up again says which table it made
    const QDateTime countedUp = QDateTime::currentDateTime();
    interaction.asked.clear();
    QVERIFY(reachSalesPage());
    QVERIFY(interaction.texts("message").join('\n').contains(
        QStringLiteral("This count was already used for table No. 1.")));
    // A correction of the opening count: it starts as table 1 did, not from table 1's own end.
    QCOMPARE(sales->timeStart, lastNight);
    QVERIFY(sales->opening);
    QCOMPARE(sales->rows.at(0).initialQuantity, qint64(0));
    QVERIFY(sales->timeEnd >= countedUp.addSecs(-1));
    QCOMPARE(end->dateTime().date(), QDate::currentDate());

    // Import Table of the older table, then Save: a new number, and both history copies stay as they were.
    interaction.fileAnswers = QStringList{first};
    click("pbImportInventory");
    const QString second = workDir->filePath(QStringLiteral("second.inv"));
    interaction.fileAnswers = QStringList{second};
    click("pbSaveInventory");
    QCOMPARE(counterOf(second), QStringLiteral("2"));
    // ... and its save replaces that table in the history list and totals.
    QVERIFY(TestSupport::readFile(second).contains("replaces=\"1\""));
    const QStringList kept =
        QDir(History::folder(dataDir->path())).entryList({"*.inv"}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 2);
    QCOMPARE(TestSupport::readFile(History::folder(dataDir->path()) + '/' + kept.at(0)), firstBytes);
    QCOMPARE(TestSupport::readFile(History::folder(dataDir->path()) + '/' + kept.at(1)),
             TestSupport::readFile(second));

    // A table saved after it (here another computer's, number 5): counting the download up once more is no
    // correction of table 2, whose figures it would replace with ones counted from table 5.
    click("pbBack_4");
    QByteArray later = TestSupport::readFile(second);
    later.replace("<counter>2</counter>", "<counter>5</counter>");
    QVERIFY(TestSupport::writeFile(lastCopy(), later));
    interaction.asked.clear();
    QVERIFY(reachSalesPage());
    QVERIFY(interaction.texts("message").join('\n').contains(
        QStringLiteral("already used for table No. 2, and table No. 5 was saved after it")));
    const QString third = workDir->filePath(QStringLiteral("third.inv"));
    interaction.fileAnswers = QStringList{third};
    click("pbSaveInventory");
    QCOMPARE(counterOf(third), QStringLiteral("6"));
    QVERIFY(!TestSupport::readFile(third).contains("replaces="));
}

void tst_MainWindow::eurCountReopensInEurFromTheHistory()
{
    // Given: a count taken in EUR, saved; then the program is back at CZK for the next one
    window = makeWindow();
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    sales->setData(sales->index(0, Inventory::InitialColumn), QStringLiteral("1.15"));
    sales->setData(sales->index(0, Inventory::PriceColumn), QStringLiteral("2"));
    sales->selectEUR();
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("eur.inv"))};
    click("pbSaveInventory");
    click("pbBack_4");
    Settings::setCurrency(Settings::CZK);

    // When: it is opened from the history
    click("pbHistory");
    auto *list = child<QTableView>("tvHistory");
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(list->model()->index(0, HistoryModel::CurrencyColumn).data().toString(), QStringLiteral("EUR"));
    // With no table before it, it was the bar's opening count: listed as such, and in no total.
    QCOMPARE(list->model()->index(0, HistoryModel::FromColumn).data().toString(),
             QStringLiteral("Opening count"));
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);

    // Then: its sums and its money columns are in EUR, the count in progress stays in CZK
    QCOMPARE(page(), 2);
    QVERIFY2(child<QLabel>("lblTotalRevenue")->text().endsWith(QStringLiteral(" EUR")),
             qPrintable(child<QLabel>("lblTotalRevenue")->text()));
    const QAbstractItemModel *shown = child<QTableView>("tvInventory")->model();
    QVERIFY(shown->headerData(Inventory::CashInColumn, Qt::Horizontal).toString().endsWith("[EUR]"));
    QVERIFY(!child<QDateTimeEdit>("dteCountEnd")->isVisible());
    auto *oldTill = window->findChild<TillPanel *>(QStringLiteral("oldTillPanel"));
    QVERIFY(oldTill && oldTill->varianceModel()
                           .headerData(TillVarianceModel::ExpectedColumn, Qt::Horizontal)
                           .toString()
                           .endsWith("[EUR]"));
    click("pbBack_4");
    QCOMPARE(Settings::currency(), int(Settings::CZK));
}

void tst_MainWindow::cutOffSaveIsReportedAtTheNextStart()
{
    // Given: two tables saved, then the second save as a kill after its history copy leaves it
    window = makeWindow();
    QVERIFY(reachSalesPage());
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("a.inv"))};
    click("pbSaveInventory");
    const QByteArray one = TestSupport::readFile(lastCopy());
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("b.inv"))};
    click("pbSaveInventory");
    window.reset();
    QVERIFY(TestSupport::writeFile(dataDir->filePath(QStringLiteral("tablenumber.txt")), "2 saving\n"));
    QVERIFY(TestSupport::writeFile(lastCopy(), one));
    interaction.asked.clear();

    // When the program starts again
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("table No. 2 was cut off")));
    window = makeWindow();

    // Then it says so, and the next count starts from table 2
    QCOMPARE(interaction.texts("message").size(), 1);
    QVERIFY2(interaction.texts("message").constFirst().contains(QStringLiteral("table No. 2 was cut off")),
             qPrintable(interaction.texts("message").constFirst()));
    QCOMPARE(counterOf(lastCopy()), QStringLiteral("2"));
    QVERIFY(reachSalesPage());
    QCOMPARE(salesModel()->counter, 2u);
}

void tst_MainWindow::countUpCarriesOverLastTable()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    salesModel()->setData(salesModel()->index(0, 2), QStringLiteral("99,999"));
    click("pbAddInventoryItem");
    itemsModel()->setData(itemsModel()->index(0, 0), QStringLiteral("Peanuts"));
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("t.inv"))};
    click("pbSaveInventory");
    QVERIFY(QFile::exists(lastCopy()));
    click("pbBack_4");

    // The next count is a new weighing (the simulator gives the same figures): without the record of
    // downloads it is not taken for the same count again, which would start where table 1 started.
    QVERIFY(QFile::remove(dataDir->filePath(QStringLiteral("downloads.txt"))));
    QVERIFY(reachSalesPage());
    QCOMPARE(salesModel()->rows.at(0).initialQuantity, qint64(350));
    QCOMPARE(salesModel()->rows.at(0).pricePerUnit, 99.999);
    QCOMPARE(itemsModel()->rowCount(), 1);

    // Typed From Stock entries stay unsaved across Import Table, so Back still asks.
    salesModel()->setData(salesModel()->index(0, Inventory::FromStockColumn), QStringLiteral("0,7"));
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("t.inv"))};
    click("pbImportInventory");
    QCOMPARE(salesModel()->rows.at(0).fromStock, qint64(700));
    interaction.buttonAnswers = {Interaction::No};
    click("pbBack_4");
    QCOMPARE(page(), 2);
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Inventory not saved"));
    QCOMPARE(itemsModel()->index(0, 0).data().toString(), QStringLiteral("Peanuts"));
}

void tst_MainWindow::salesPageSaysWhatTheDrinksCost()
{
    QVERIFY(TestSupport::writeFile(dataDir->filePath(QStringLiteral("costs.csv")),
                                   "EAN;Cost;Par;Supplier\n8594000000111;140;3;Drinks\n"));
    window = makeWindow();
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    QCOMPARE(sales->rows.at(0).ean, QStringLiteral("8594000000111"));
    sales->setData(sales->index(0, 3), QStringLiteral("1.15")); // 0.8 l of a 0.7 l bottle sold, 0.35 l left
    sales->setData(sales->index(0, 2), 10.0);                   // 200.00 taken

    // 800 / 700 x 140 = 160.00 of 200.00; 350 / 700 x 140 = 70.00 left; 3 - 0.5 bottles short: 3 to buy.
    auto *costs = window->findChild<QLabel *>(QStringLiteral("lblCosts"));
    QVERIFY(costs);
    QCOMPARE(costs->text(), QStringLiteral("Cost of goods sold: 160.00 CZK\nPour cost: 80.00 %\n"
                                           "Stock value at cost: 70.00 CZK\nHighest pour cost: Absinth 80.00 %\nTo order (cost 420.00 CZK):\n"
                                           "Drinks: 3 × Absinth"));
    // The CSV export keeps its rows and adds the figures after them.
    const QString csv = workDir->filePath(QStringLiteral("sales.csv"));
    interaction.fileAnswers = QStringList{csv};
    click("pbInventoryExportCSV");
    const QByteArray exported = TestSupport::readFile(csv);
    QVERIFY2(exported.endsWith("\nCost of goods sold;160.00\nPour cost;80.00 %\nStock value at cost;70.00\n"),
             exported.constData());
}

void tst_MainWindow::fromStockFilledFromTheStoresIssues()
{
    // Given: the last count ended three days ago; since then two bottles went to the bar and one came back,
    // and five went before that count
    const QDateTime lastEnd = QDateTime::currentDateTime().addDays(-3);
    QVERIFY(TestSupport::writeFile(
        lastCopy(), "<?xml version=\"1.0\"?><inventory><timeEnd>" +
                        QByteArray::number(lastEnd.toMSecsSinceEpoch()) +
                        "</timeEnd><counter>4</counter><bottle ean=\"8594000000111\"><pricePerUnit>25</pricePerUnit>"
                        "<finalQuantity>900</finalQuantity></bottle></inventory>"));
    const auto day = [](int daysAgo) { return QDate::currentDate().addDays(-daysAgo).toString(Qt::ISODate).toUtf8(); };
    QVERIFY(TestSupport::writeFile(dataDir->filePath(QStringLiteral("deliveries.csv")),
                                   day(4) + ";issue;8594000000111;5;;\n" + day(2) + ";issue;8594000000111;2;;\n" +
                                       day(1) + ";issue;8594000000111;-1;;\n"));
    window = makeWindow();

    // When
    QVERIFY(reachSalesPage());

    // Then: one 0.7 l bottle, and the status line says so
    Inventory *sales = salesModel();
    QCOMPARE(sales->timeStart, lastEnd);
    QCOMPARE(sales->rows.at(0).fromStock, qint64(700));
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Rows of From Stock filled from the store's issues: 1."));

    // A value typed in its place stays when the count's end moves, though the issues change with it.
    sales->setData(sales->index(0, Inventory::FromStockColumn), QStringLiteral("0,5"));
    QCOMPARE(sales->rows.at(0).fromStock, qint64(500));
    child<QDateTimeEdit>("dteCountEnd")->setDateTime(QDateTime(QDate::currentDate().addDays(-1), QTime(6, 0)));
    QCOMPARE(sales->rows.at(0).fromStock, qint64(500));
    QVERIFY(window->statusBar()->currentMessage().endsWith(QStringLiteral("Typed values kept: 1.")));
}

void tst_MainWindow::sumsFollowEditsAndCurrency()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    sales->setData(sales->index(0, 3), QStringLiteral("1.15")); // 1.15 l at the start, 0.35 l left
    sales->setData(sales->index(0, 2), 10.0);                   // per 0.04 l
    QVERIFY(sales->total > 0);
    const QString amount = QString::number(sales->total, 'f', 2);
    QCOMPARE(child<QLabel>("lblBottlesRevenue")->text(), QStringLiteral("Alcohol Sales: %1 CZK").arg(amount));
    QCOMPARE(child<QLabel>("lblTotalRevenue")->text(), QStringLiteral("Total Sales: %1 CZK").arg(amount));

    // Header clicks: only the price, stock and bottles columns open a menu.
    QHeaderView *header = child<QTableView>("tvInventory")->horizontalHeader();
    for (int section : {0, 1, 3, 5, 7, 8, 9}) {
        emit header->sectionClicked(section);
        QVERIFY2(!QApplication::activePopupWidget(), qPrintable(QString::number(section)));
    }
    emit header->sectionClicked(2);
    QTRY_VERIFY(QApplication::activePopupWidget());
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QAction *eur = nullptr;
    for (QAction *action : menu->actions())
        if (action->text() == QStringLiteral("EUR"))
            eur = action;
    QVERIFY(eur);
    eur->trigger();
    menu->close();
    QVERIFY(child<QLabel>("lblTotalRevenue")->text().endsWith(QStringLiteral(" EUR")));
    QVERIFY(child<QLabel>("lblBottlesRevenue")->text().endsWith(QStringLiteral(" EUR")));
    QVERIFY(child<QLabel>("lblItemsRevenue")->text().endsWith(QStringLiteral(" EUR")));
}

void tst_MainWindow::editorsKeepWhatWasTyped_data()
{
    QTest::addColumn<bool>("items"); // the appended items, else the sales table
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("pieces");   // the From Stock column counts bottles
    QTest::addColumn<QString>("typed"); // empty: the editor is confirmed as it opened
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("stored"); // the cell's edit text afterwards
    QTest::addColumn<bool>("refused");

    const int tab = Qt::Key_Tab, enter = Qt::Key_Return, escape = Qt::Key_Escape;
    QTest::newRow("sell unit, Tab") << false << 1 << false << QString() << tab << "0.025" << false;
    QTest::newRow("price, Enter") << false << 2 << false << QString() << enter << "99.999" << false;
    QTest::newRow("initial, Tab") << false << 3 << false << QString() << tab << "1.327" << false;
    QTest::newRow("typed, Escape") << false << 3 << false << "7" << escape << "1.327" << false;
    QTest::newRow("decimal comma") << false << 2 << false << "35,50" << enter << "35.5" << false;
    QTest::newRow("blank thousands") << false << 3 << false << "1 234,5" << tab << "1234.50" << false;
    QTest::newRow("typed ml kept") << false << 1 << false << "0.0375" << enter << "0.037" << false;
    QTest::newRow("whole pieces") << false << 4 << true << "2" << enter << "2" << false;
    QTest::newRow("half a bottle") << false << 4 << true << "1.5" << enter << "0" << true;
    QTest::newRow("currency") << false << 2 << false << "45 Kc" << enter << "99.999" << true;
    QTest::newRow("two separators") << false << 2 << false << "1.234,50" << enter << "99.999" << true;
    QTest::newRow("negative price") << false << 2 << false << "-5" << tab << "99.999" << true;
    QTest::newRow("zero sell unit") << false << 1 << false << "0" << enter << "0.00" << false;
    QTest::newRow("item price, Tab") << true << 2 << false << QString() << tab << "2.345" << false;
    QTest::newRow("item comma") << true << 2 << false << "35,50" << enter << "35.5" << false;
    QTest::newRow("item text") << true << 3 << false << "many" << enter << "4" << true;
}

void tst_MainWindow::editorsKeepWhatWasTyped()
{
    QFETCH(bool, items);
    QFETCH(int, column);
    QFETCH(bool, pieces);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, stored);
    QFETCH(bool, refused);
    window = makeWindow();
    QVERIFY(reachSalesPage());
    Inventory *sales = salesModel();
    QVERIFY(sales->setData(sales->index(0, 1), QStringLiteral("0.025")));
    QVERIFY(sales->setData(sales->index(0, 2), QStringLiteral("99.999")));
    QVERIFY(sales->setData(sales->index(0, 3), QStringLiteral("1.327")));
    if (pieces)
        sales->selectPiecesStock();
    click("pbAddInventoryItem");
    QTest::keyClick(child<QTableView>("tvItemInventory")->viewport()->findChild<QLineEdit *>(),
                    Qt::Key_Escape);
    QVERIFY(itemsModel()->setData(itemsModel()->index(0, 2), QStringLiteral("2.345")));
    QVERIFY(itemsModel()->setData(itemsModel()->index(0, 3), QStringLiteral("4")));
    sales->modified = itemsModel()->modified = false;
    const QString cash = sales->index(0, Inventory::CashInColumn).data().toString();

    auto *view = child<QTableView>(items ? "tvItemInventory" : "tvInventory");
    QAbstractItemModel *model = view->model();
    const QModelIndex cell = model->index(0, column);
    QVERIFY(editCell(view, cell, typed, Qt::Key(key)));

    QCOMPARE(cell.data(Qt::EditRole).toString(), stored);
    const bool changed = !typed.isEmpty() && !refused && key != Qt::Key_Escape;
    QCOMPARE(sales->modified || itemsModel()->modified, changed);
    if (!changed && !items)
        QCOMPARE(sales->index(0, Inventory::CashInColumn).data().toString(), cash);
    QCOMPARE(window->statusBar()->currentMessage().isEmpty(), !refused);
}

void tst_MainWindow::importErrors_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("File not found.");
    // The fixed text, then where and why.
    QTest::newRow("not a table") << QByteArray("<?xml version=\"1.0\"?><inventory><bottle/></inventory>")
                                 << QStringLiteral("File is not inventory table.\nLine 1: a row has no EAN.");
}

void tst_MainWindow::importErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    window = makeWindow();
    QVERIFY(reachSalesPage());
    const QString path = workDir->filePath(QStringLiteral("import.inv"));
    if (!content.isEmpty())
        QVERIFY(TestSupport::writeFile(path, content));
    QAbstractItemModel *before = child<QTableView>("tvInventory")->model();
    interaction.fileAnswers = QStringList{path};
    click("pbImportInventory");
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Unable to import table"));
    QCOMPARE(interaction.asked.constLast().text, message);
    QCOMPARE(child<QTableView>("tvInventory")->model(), before);
}

void tst_MainWindow::salesCsvHoldsItemsAfterBottles()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    click("pbAddInventoryItem");
    itemsModel()->setData(itemsModel()->index(0, 0), QStringLiteral("Peanuts"));
    const QString path = workDir->filePath(QStringLiteral("sales.csv"));
    interaction.fileAnswers = QStringList{path};
    click("pbInventoryExportCSV");
    const QString csv = QString::fromUtf8(TestSupport::readFile(path));
    QVERIFY2(csv.indexOf(QStringLiteral("Absinth")) >= 0, qPrintable(csv));
    QVERIFY2(csv.indexOf(QStringLiteral("Absinth")) < csv.indexOf(QStringLiteral("Peanuts")),
             qPrintable(csv));

    // The spreadsheet hand-off writes a workbook into the temporary folder.
    click("pbInventoryExportExcel");
    QCOMPARE(interaction.openedUrls.size(), 1);
    const QString workbook = workDir->filePath(QStringLiteral("inventory.xlsx"));
    QVERIFY(TestSupport::readFile(workbook).startsWith("PK\x03\x04"));
}

void tst_MainWindow::overviewExports_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("csv") << "pbInventoryOverviewExportCSV"
                         << "inv.csv";
    QTest::newRow("xml") << "pbInventoryOverviewExportXML"
                         << "inv.xml";
}

void tst_MainWindow::overviewExports()
{
    QFETCH(QString, button);
    QFETCH(QString, fileName);
    window = makeWindow();
    QVERIFY(readOverview());
    const QByteArray name = button.toLatin1();

    click(name.constData()); // cancelled: nothing written, no folder remembered
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QCOMPARE(interaction.startPaths.constLast(), documents + QLatin1Char('/') + fileName);

    QDir(workDir->path()).mkdir(QStringLiteral("exports"));
    const QString path = workDir->filePath(QStringLiteral("exports/") + fileName);
    interaction.fileAnswers = QStringList{path, workDir->filePath(QStringLiteral("no/such/folder/x"))};
    click(name.constData());
    QVERIFY(QString::fromUtf8(TestSupport::readFile(path)).contains(QStringLiteral("Absinth")));
    click(name.constData());
    QCOMPARE(interaction.texts("message").size(), 1);
    QVERIFY(isSaveFailureWithReason(interaction.texts("message").constFirst()));
    click(name.constData());
    QCOMPARE(interaction.startPaths.constLast(), workDir->filePath(QStringLiteral("exports/")) + fileName);
}

void tst_MainWindow::spreadsheetHandOffFailures_data()
{
    QTest::addColumn<bool>("sales");
    QTest::addColumn<bool>("unwritable");
    QTest::addColumn<QString>("title");

    QTest::newRow("sales, unwritable") << true << true << "Unable to save";
    QTest::newRow("overview, unwritable") << false << true << "Unable to save";
    QTest::newRow("sales, no program") << true << false << "Unable to open";
    QTest::newRow("overview, no program") << false << false << "Unable to open";
}

void tst_MainWindow::spreadsheetHandOffFailures()
{
    QFETCH(bool, sales);
    QFETCH(bool, unwritable);
    QFETCH(QString, title);
    const QString path = workDir->filePath(QLatin1String(sales ? "inventory.xlsx" : "inv.xlsx"));
    if (unwritable) // a folder where the temporary file should go
        QVERIFY(QDir(workDir->path()).mkdir(QFileInfo(path).fileName()));
    window = makeWindow();
    QVERIFY(sales ? reachSalesPage() : readOverview());
    interaction.asked.clear();
    interaction.openUrlResult = false;

    // Without a program the workbook is kept where the user says, not in the temporary folder, where the
    // next export would replace it.
    const QString kept = workDir->filePath(QStringLiteral("kept/") + QFileInfo(path).fileName());
    QVERIFY(QDir(workDir->path()).mkdir(QStringLiteral("kept")));
    interaction.fileAnswers = QStringList{kept};
    click(sales ? "pbInventoryExportExcel" : "pbInventoryOverviewExportExcel");
    QCOMPARE(interaction.asked.constLast().kind, QStringLiteral("message"));
    QCOMPARE(interaction.asked.constLast().title, title);
    if (unwritable) {
        QVERIFY(interaction.openedUrls.isEmpty());
    } else {
        QCOMPARE(interaction.asked.at(interaction.asked.size() - 2).kind, QStringLiteral("file"));
        QVERIFY(interaction.asked.constLast().text.contains(kept));
        QVERIFY(TestSupport::readFile(kept).startsWith("PK\x03\x04"));
        QVERIFY(!QFile::exists(path));
    }
}

void tst_MainWindow::unrecordedDownloadIsTold()
{
    // A folder in the place of the record: no file can replace it.
    QVERIFY(QDir(dataDir->path()).mkdir(QStringLiteral("downloads.txt")));
    window = makeWindow();
    interaction.asked.clear();
    QVERIFY(readOverview());
    QTRY_VERIFY(!interaction.texts("message").isEmpty());
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Download not recorded"));
    const QString text = interaction.asked.constLast().text;
    QVERIFY2(text.startsWith(dataDir->filePath(QStringLiteral("downloads.txt: "))), qPrintable(text));
}

void tst_MainWindow::dataFolderRemovedIsToldAndNotMadeAgain()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    interaction.asked.clear();

    QVERIFY(QDir(dataDir->path()).removeRecursively());
    QTRY_VERIFY(!interaction.texts("message").isEmpty());
    QCOMPARE(interaction.asked.constFirst().title, QStringLiteral("Data folder removed"));

    // A save cannot go into a new, empty folder that nobody would notice in place of the old one.
    interaction.asked.clear();
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("t.inv"))};
    click("pbSaveInventory");
    QCOMPARE(interaction.texts("message").size(), 1);
    QVERIFY(isSaveFailureWithReason(interaction.texts("message").constFirst()));
    QVERIFY(!QFileInfo::exists(dataDir->path()));
}

void tst_MainWindow::printsToPdf_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("sales");
    QTest::newRow("overview") << "pbPrint_2" << false;
    QTest::newRow("sales") << "pbPrintInventory" << true;
}

void tst_MainWindow::printsToPdf()
{
    QFETCH(QString, button);
    QFETCH(bool, sales);
    window = makeWindow();
    QVERIFY(sales ? reachSalesPage() : readOverview());

    click(button.toLatin1().constData()); // dialog cancelled: nothing printed
    QVERIFY(!QFile::exists(interaction.pdfPath));
    interaction.printAnswers = {true};
    click(button.toLatin1().constData());
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Print Document"));
    QVERIFY(TestSupport::readFile(interaction.pdfPath).startsWith("%PDF"));
    if (sales) {
        // With till figures the variance follows the table: every matched row, the products and rows
        // that match nothing, and the total. 0.35 l sold in 0.05 l portions at 45 is 315.00 expected.
        Inventory *inventory = salesModel();
        QVERIFY(inventory->setData(inventory->index(0, Inventory::SellUnitColumn), QStringLiteral("0,05")));
        QVERIFY(inventory->setData(inventory->index(0, Inventory::PriceColumn), QStringLiteral("45")));
        QVERIFY(inventory->setData(inventory->index(0, Inventory::FromStockColumn), QStringLiteral("0.7")));
        const QString till = workDir->filePath(QStringLiteral("till.csv"));
        QVERIFY(TestSupport::writeFile(till, "Code;Name;Qty;Amount\n8594000000111;Absinth 5cl;6;270\n"
                                             ";Chipsy;3;75\n"));
        interaction.fileAnswers = QStringList{till};
        click("pbImportTill");
        interaction.printAnswers = {true};
        click(button.toLatin1().constData());
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), interaction.pdfPath, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(60000), "pdftotext (poppler-utils) did not run");
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        QVERIFY2(text.contains(QStringLiteral("Absinth 8594000000111 315.00 270.00 45.00 1.00 14.3")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Chipsy")), qPrintable(text));
        QVERIFY2(text.contains(
                     QStringLiteral("Expected 315.00 CZK, till 345.00 CZK, variance -30.00 CZK (-9.5 %)")),
                 qPrintable(text));
        // Read weeks later, the paper says whose count it is and which nights it covers.
        QVERIFY2(!text.contains(QStringLiteral("U Zlatého")), qPrintable(text));
        QVERIFY(TestSupport::writeFile(dataDir->filePath(QStringLiteral("store.txt")),
                                       "bar=U Zlatého tygra\nmachine=3f0c8a4e-5a3b-4c1e-9d2f-1b2c3d4e5f60\n"));
        interaction.printAnswers = {true};
        click(button.toLatin1().constData());
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-layout"), interaction.pdfPath, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(60000), "pdftotext (poppler-utils) did not run");
        const QString named = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
        QVERIFY2(named.contains(QStringLiteral("U Zlatého tygra")), qPrintable(named));
        const QString period = QStringLiteral("Sales: %1 - %1").arg(QDate::currentDate().toString("dd.MM.yyyy"));
        QVERIFY2(named.contains(period), qPrintable(named));
    }
    // The next printout into a file is offered in the folder the last one went to, under a name of its own.
    interaction.printAnswers = {false};
    click(button.toLatin1().constData());
    QCOMPARE(QFileInfo(interaction.offeredPdf).absolutePath(), QFileInfo(interaction.pdfPath).absolutePath());
    QVERIFY2(interaction.offeredPdf != interaction.pdfPath, qPrintable(interaction.offeredPdf));

    interaction.pdfPath = workDir->filePath(QStringLiteral("no/such/folder/print.pdf"));
    interaction.printAnswers = {true};
    click(button.toLatin1().constData());
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Unable to print"));
}

void tst_MainWindow::leavingWithUnsavedChanges_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("left");
    QTest::newRow("back, no") << false << int(Interaction::No) << false;
    QTest::newRow("back, yes") << false << int(Interaction::Yes) << true;
    QTest::newRow("close, no") << true << int(Interaction::No) << false;
    QTest::newRow("close, yes") << true << int(Interaction::Yes) << true;
}

void tst_MainWindow::leavingWithUnsavedChanges()
{
    QFETCH(bool, byClosing);
    QFETCH(int, answer);
    QFETCH(bool, left);
    window = makeWindow();
    QVERIFY(reachSalesPage());
    salesModel()->setData(salesModel()->index(0, 2), 12.0);

    interaction.buttonAnswers = {Interaction::Button(answer)};
    if (byClosing) {
        QCOMPARE(window->close(), left);
    } else {
        click("pbBack_4");
        QCOMPARE(page(), left ? 0 : 2);
    }
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Inventory not saved"));
    QCOMPARE(interaction.asked.constLast().text,
             QStringLiteral("Are you sure to leave? All unsaved data will be discarded."));

    // On any other page closing never asks.
    if (!left) {
        window->findChild<QStackedWidget *>()->setCurrentIndex(3);
        const int questions = interaction.asked.size();
        QVERIFY(window->close());
        QCOMPARE(interaction.asked.size(), questions);
    }
}

void tst_MainWindow::oldCountIsShownReadOnlyBesideTheCountInProgress()
{
    // Given: a count saved with an appended item and till figures, then changed further and left unsaved
    window = makeWindow();
    QVERIFY(reachSalesPage());
    auto *till = window->findChild<TillPanel *>(QStringLiteral("tillPanel"));
    QVERIFY(till);
    Inventory *live = salesModel();
    live->setData(live->index(0, Inventory::InitialColumn), QStringLiteral("1.15"));
    live->setData(live->index(0, Inventory::PriceColumn), QStringLiteral("10"));
    click("pbAddInventoryItem");
    QTest::keyClick(child<QTableView>("tvItemInventory")->viewport()->findChild<QLineEdit *>(),
                    Qt::Key_Escape);
    ItemInventory *liveItems = itemsModel();
    liveItems->setData(liveItems->index(0, ItemInventory::NameColumn), QStringLiteral("Peanuts"));
    liveItems->setData(liveItems->index(0, ItemInventory::PriceColumn), QStringLiteral("3"));
    liveItems->setData(liveItems->index(0, ItemInventory::InitialColumn), QStringLiteral("5"));
    const QString export_ = workDir->filePath(QStringLiteral("till.csv"));
    QVERIFY(TestSupport::writeFile(export_, "Code;Name;Quantity;Amount\n8594000000111;Absinth;18;180,00\n"));
    interaction.fileAnswers = QStringList{export_};
    till->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->click();
    auto *amount = till->findChild<QLineEdit *>(QStringLiteral("leTillAmount"));
    amount->setText(QStringLiteral("195"));
    emit amount->editingFinished();
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("t.inv"))};
    click("pbSaveInventory");
    const QStringList savedBottle = rowTexts(live, 0), savedItem = rowTexts(liveItems, 0);
    const QString savedTotal = child<QLabel>("lblTotalRevenue")->text();
    const QString savedVariance = till->findChild<QLabel *>(QStringLiteral("lblTillVariance"))->text();
    QCOMPARE(savedVariance,
             QStringLiteral("Expected 215.00 CZK, till 195.00 CZK, variance 20.00 CZK (9.3 %)"));
    const QString banner =
        QStringLiteral("Old count No. %1, %2 – %3, read-only")
            .arg(live->counter)
            .arg(MainWindow::shownDate(live->timeStart), MainWindow::shownDate(live->timeEnd));
    live->setData(live->index(0, Inventory::PriceColumn), QStringLiteral("12"));
    liveItems->setData(liveItems->index(0, ItemInventory::NameColumn), QStringLiteral("Cashews"));
    amount->setText(QStringLiteral("300"));
    emit amount->editingFinished();
    const QStringList liveBottle = rowTexts(live, 0), liveItem = rowTexts(liveItems, 0);
    const QString liveTotal = child<QLabel>("lblTotalRevenue")->text();
    interaction.buttonAnswers = {Interaction::Yes};
    click("pbBack_4");
    QCOMPARE(page(), 0);

    // When: the saved count is opened from the history by a double click
    click("pbHistory");
    auto *list = child<QTableView>("tvHistory");
    QCOMPARE(list->model()->rowCount(), 1);
    const QPoint row = list->visualRect(list->model()->index(0, 1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);

    // Then: the sales page shows it as saved, marked as old, with its till figures and variance
    QCOMPARE(page(), 2);
    QCOMPARE(child<QLabel>("lblInventory")->text(), banner);
    auto *bottles = child<QTableView>("tvInventory");
    auto *items = child<QTableView>("tvItemInventory");
    // The table's own columns; the cost columns follow them.
    QCOMPARE(rowTexts(bottles->model(), 0).mid(0, Inventory::ColumnCount), savedBottle);
    QCOMPARE(rowTexts(items->model(), 0), savedItem);
    QVERIFY(items->isVisible());
    QCOMPARE(child<QLabel>("lblTotalRevenue")->text(), savedTotal);
    auto *oldTill = window->findChild<TillPanel *>(QStringLiteral("oldTillPanel"));
    QVERIFY(oldTill && oldTill->isVisible() && !till->isVisible());
    QCOMPARE(oldTill->findChild<QLabel *>(QStringLiteral("lblTillVariance"))->text(), savedVariance);
    QCOMPARE(oldTill->varianceModel().rowCount(), 1);
    QVERIFY(oldTill->findChild<QLineEdit *>(QStringLiteral("leTillAmount"))->isReadOnly());
    QVERIFY(!oldTill->findChild<QPushButton *>(QStringLiteral("pbImportTill"))->isVisible());
    for (const char *name :
         {"pbAddInventoryItem", "pbDeleteInventoryItem", "pbImportInventory", "pbSaveInventory"})
        QVERIFY2(!child<QPushButton>(name)->isVisible() && !child<QPushButton>(name)->isEnabled(), name);

    // No cell opens an editor, asked for directly or by the keyboard; the Delete key asks nothing
    const int asked = interaction.asked.size();
    for (QTableView *view : {bottles, items}) {
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            const QModelIndex cell = view->model()->index(0, column);
            view->setCurrentIndex(cell);
            QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
            view->edit(cell);
            QTest::keyClick(view, Qt::Key_F2);
            QTest::keyClicks(view, QStringLiteral("7"));
            QTest::keyClick(view, Qt::Key_Delete);
            for (const QWidget *editor : view->viewport()->findChildren<QWidget *>())
                QVERIFY2(!editor->isVisible(), qPrintable(QString::number(column)));
        }
    }
    // The table's own columns; the cost columns follow them.
    QCOMPARE(rowTexts(bottles->model(), 0).mid(0, Inventory::ColumnCount), savedBottle);
    QCOMPARE(rowTexts(items->model(), 0), savedItem);
    QCOMPARE(items->model()->rowCount(), 1);
    // Nor is a till product offered to be matched again
    oldTill->matchSelected();
    oldTill->automaticMatch();
    QVERIFY(interaction.offeredChoices.isEmpty());
    QCOMPARE(interaction.asked.size(), asked);

    // Exports take the old count
    const QString csv = workDir->filePath(QStringLiteral("old.csv"));
    interaction.fileAnswers = QStringList{csv};
    click("pbInventoryExportCSV");
    QVERIFY(TestSupport::readFile(csv).contains("Peanuts"));

    // Back returns to the history asking nothing; the count in progress is as it was, still unsaved
    const int beforeBack = interaction.asked.size();
    click("pbBack_4");
    QCOMPARE(interaction.asked.size(), beforeBack);
    QCOMPARE(child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(),
             QStringLiteral("historyPage"));
    QVERIFY(!window->findChild<TillPanel *>(QStringLiteral("oldTillPanel")));
    QCOMPARE(salesModel(), live);
    QCOMPARE(itemsModel(), liveItems);
    QCOMPARE(rowTexts(live, 0), liveBottle);
    QCOMPARE(rowTexts(liveItems, 0), liveItem);
    QVERIFY(live->modified && liveItems->modified);
    QCOMPARE(child<QLabel>("lblTotalRevenue")->text(), liveTotal);
    QVERIFY(child<QLabel>("lblInventory")->text().startsWith(QStringLiteral("Sales: ")));
    QCOMPARE(till->figures().amount, 300.0);
    QCOMPARE(amount->text(), QStringLiteral("300"));
    for (const char *name :
         {"pbAddInventoryItem", "pbDeleteInventoryItem", "pbImportInventory", "pbSaveInventory"})
        QVERIFY2(!child<QPushButton>(name)->isHidden() && child<QPushButton>(name)->isEnabled(), name);

    // Import Table seeds the count from the saved one, but the saved till figures belong to their own period
    till->clear();
    interaction.fileAnswers = QStringList{workDir->filePath(QStringLiteral("t.inv"))};
    click("pbImportInventory");
    QCOMPARE(live->rows.at(0).initialQuantity, qint64(350));
    QVERIFY(till->figures().isEmpty());
}

void tst_MainWindow::appendedItemsToggleAndAdd()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    auto *toggle = child<QPushButton>("pbAppendedItems");
    auto *splitter = child<QSplitter>("splitter");
    QVERIFY(!child<QTableView>("tvItemInventory")->isVisible());

    click("pbAddInventoryItem"); // shows the hidden table, appends and opens the name for editing
    QVERIFY(toggle->isChecked());
    QCOMPARE(toggle->text().remove(QLatin1Char('&')), QStringLiteral("- Appended Items"));
    QVERIFY(child<QTableView>("tvItemInventory")->isVisible());
    QCOMPARE(itemsModel()->rowCount(), 1);
    QCOMPARE(child<QTableView>("tvItemInventory")->currentIndex(), itemsModel()->index(0, 0));
    auto *editor = child<QTableView>("tvItemInventory")->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor && editor->isVisible());

    // Selecting in one table clears the other, so that Delete Item knows which one is meant.
    auto *items = child<QTableView>("tvItemInventory");
    auto *bottles = child<QTableView>("tvInventory");
    items->selectionModel()->select(itemsModel()->index(0, 1), QItemSelectionModel::Select);
    QTest::mouseClick(bottles->viewport(), Qt::LeftButton, {},
                      bottles->visualRect(bottles->model()->index(0, 1)).center());
    QVERIFY(!items->selectionModel()->hasSelection());
    QVERIFY(bottles->selectionModel()->hasSelection());
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {},
                      items->visualRect(itemsModel()->index(0, 1)).center());
    QVERIFY(!bottles->selectionModel()->hasSelection());
    QVERIFY(items->selectionModel()->hasSelection());

    toggle->click();
    QCOMPARE(toggle->text().remove(QLatin1Char('&')), QStringLiteral("+ Appended Items"));
    QVERIFY(!child<QTableView>("tvItemInventory")->isVisible());
    QCOMPARE(splitter->sizes().constLast(), splitter->widget(1)->minimumSizeHint().height());
}

void tst_MainWindow::deleteSelectedRows()
{
    window = makeWindow();
    QVERIFY(reachSalesPage());
    for (int k = 0; k < 6; ++k) {
        click("pbAddInventoryItem");
        itemsModel()->setData(itemsModel()->index(itemsModel()->rowCount() - 1, 0), QString::number(k));
        child<QTableView>("tvItemInventory")->clearSelection();
        child<QTableView>("tvItemInventory")->setCurrentIndex(QModelIndex());
    }
    QCOMPARE(itemsModel()->rowCount(), 6);

    // Nothing selected: asks for a selection.
    child<QTableView>("tvInventory")->clearSelection();
    child<QTableView>("tvItemInventory")->clearSelection();
    click("pbDeleteInventoryItem");
    QCOMPARE(interaction.asked.constLast().text, QStringLiteral("Select Item to Delete"));

    // Rows 2 and 5, row 2 in three columns.
    QItemSelectionModel *selection = child<QTableView>("tvItemInventory")->selectionModel();
    for (const auto &cell : {qMakePair(2, 0), qMakePair(2, 1), qMakePair(2, 2), qMakePair(5, 0)})
        selection->select(itemsModel()->index(cell.first, cell.second), QItemSelectionModel::Select);
    click("pbDeleteInventoryItem");
    QCOMPARE(interaction.asked.constLast().text,
             QStringLiteral("Are you sure to delete selected items ?\nFrom the appended items: 2, 5"));
    const auto names = [this] {
        QStringList left;
        for (int row = 0; row < itemsModel()->rowCount(); ++row)
            left << itemsModel()->index(row, 0).data().toString();
        return left;
    };
    QCOMPARE(names(), (QStringList{"0", "1", "3", "4"}));

    // Only one table holds a selection, however it was made; Add Item clicks in a row keep their order.
    auto *bottles = child<QTableView>("tvInventory");
    auto *items = child<QTableView>("tvItemInventory");
    items->selectRow(1);
    bottles->selectRow(0);
    QVERIFY(!items->selectionModel()->hasSelection());
    items->selectRow(1);
    QVERIFY(!bottles->selectionModel()->hasSelection());
    for (const QString &name : {QStringLiteral("x"), QStringLiteral("y")}) {
        click("pbAddInventoryItem");
        itemsModel()->setData(items->currentIndex(), name);
    }
    QCOMPARE(names(), (QStringList{"0", "x", "y", "1", "3", "4"}));
    bottles->selectRow(0);
    click("pbAddInventoryItem");
    QVERIFY(!bottles->selectionModel()->hasSelection());
    interaction.buttonAnswers = {Interaction::No};
    click("pbDeleteInventoryItem");
    QCOMPARE(interaction.asked.constLast().text,
             QStringLiteral("Are you sure to delete selected items ?\n"
                            "From the appended items: (row 7 without a name)"));
    QCOMPARE(salesModel()->rowCount(), 1);

    // The Delete key asks the same question as the button.
    items->selectRow(0);
    interaction.buttonAnswers = {Interaction::No};
    QTest::keyClick(items, Qt::Key_Delete);
    QCOMPARE(interaction.asked.constLast().text,
             QStringLiteral("Are you sure to delete selected items ?\nFrom the appended items: 0"));
    QCOMPARE(names().size(), 7);
}

void tst_MainWindow::headerClickSelectsNoColumn_data()
{
    QTest::addColumn<int>("section");
    QTest::newRow("item name") << 0;
    QTest::newRow("price, opens the currency menu") << 2;
    QTest::newRow("sold quantity") << 8;
}

void tst_MainWindow::headerClickSelectsNoColumn()
{
    QFETCH(int, section);
    window = makeWindow();
    QVERIFY(reachSalesPage());
    QTableView *view = child<QTableView>("tvInventory");
    QVERIFY(salesModel()->rowCount() > 0);
    QHeaderView *header = view->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QVERIFY(view->selectionModel()->selectedIndexes().isEmpty());

    click("pbDeleteInventoryItem");
    QCOMPARE(interaction.asked.constLast().text, QStringLiteral("Select Item to Delete"));
    for (QMenu *menu : window->findChildren<QMenu *>())
        menu->close();
}

void tst_MainWindow::catalogueLockAddDelete()
{
    window = makeWindow();
    click("pbEditDatabase");
    QCOMPARE(page(), 1);
    auto *view = child<QTableView>("tvEditDatabase");
    auto *model = catalogueOf(view);
    QVERIFY(model);
    QAbstractItemModelTester tester(model);
    QVERIFY(model->locked);
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(child<QPushButton>("pbUnlock")->isEnabled());
    for (const char *name : {"pbAddRow", "pbDeleteItem", "pbSaveDatabase"})
        QVERIFY2(!child<QPushButton>(name)->isEnabled(), name);

    click("pbUnlock");
    QVERIFY(!model->locked);
    QVERIFY(!child<QPushButton>("pbUnlock")->isEnabled());
    for (const char *name : {"pbAddRow", "pbDeleteItem", "pbSaveDatabase"})
        QVERIFY2(child<QPushButton>(name)->isEnabled(), name);

    interaction.textAnswers = QStringList{QStringLiteral("8594000000111"), QStringLiteral("8594000000440")};
    click("pbAddRow");
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Item already exists"));
    QCOMPARE(model->rowCount(), 3);
    click("pbAddRow");
    QCOMPARE(model->rowCount(), 4);
    QVERIFY(model->findByEan(QStringLiteral("8594000000440")));

    view->setCurrentIndex(QModelIndex());
    click("pbDeleteItem");
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Select Item"));

    const int row = model->rowOfEan(QStringLiteral("8594000000222"));
    view->setCurrentIndex(view->model()->index(row, 0));
    interaction.buttonAnswers = {Interaction::No, Interaction::Yes};
    click("pbDeleteItem");
    QCOMPARE(interaction.asked.constLast().text,
             QStringLiteral("Are you sure to delete item 8594000000222 ?"));
    QCOMPARE(model->rowCount(), 4);
    click("pbDeleteItem");
    QCOMPARE(model->rowCount(), 3);
    QVERIFY(!model->findByEan(QStringLiteral("8594000000222")));

    // Leaving unsaved edits asks; No stays with them, Yes throws them away, from the screen too.
    interaction.buttonAnswers = {Interaction::No, Interaction::No};
    click("pbBack_3");
    QCOMPARE(page(), 1);
    QCOMPARE(interaction.asked.constLast().title, QStringLiteral("Database not saved"));
    QVERIFY(!window->close());
    click("pbBack_3");
    QCOMPARE(page(), 0);
    click("pbEditDatabase");
    QVERIFY(model->locked);
    QVERIFY(!model->findByEan(QStringLiteral("8594000000440")));
    QCOMPARE(model->rowCount(), 3);
    const int questions = interaction.asked.size();
    model->sort(1, Qt::DescendingOrder); // a new order is no edit
    click("pbBack_3");
    QCOMPARE(interaction.asked.size(), questions);
}

void tst_MainWindow::catalogueAddItemChecksEan_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");    // to the check digit question
    QTest::addColumn<QString>("added"); // empty: nothing added
    QTest::addColumn<QString>("asked"); // title of the message; empty: none

    const int yes = Interaction::Yes, no = Interaction::No;
    const QString none, invalid = QStringLiteral("Invalid EAN"), check = QStringLiteral("Check digit");
    QTest::newRow("empty") << none << yes << none << invalid;
    QTest::newRow("letters") << "40063813a3931" << yes << none << invalid;
    QTest::newRow("seven digits") << "1234567" << yes << none << invalid;
    QTest::newRow("fifteen digits") << "123456789012345" << yes << none << invalid;
    QTest::newRow("EAN-13") << "4006381333931" << yes << "4006381333931" << none;
    QTest::newRow("EAN-8, blanks around") << " 12345670 " << yes << "12345670" << none;
    QTest::newRow("wrong check digit, kept") << "4006381333932" << yes << "4006381333932" << check;
    QTest::newRow("wrong check digit, dropped") << "4006381333932" << no << none << check;
    // The station keeps the EAN without its leading zeros: one bottle there, with two weights.
    QTest::newRow("a catalogue EAN with a leading zero") << "08594000000111" << yes << none
                                                         << QStringLiteral("Item already exists");
}

void tst_MainWindow::catalogueAddItemChecksEan()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, added);
    QFETCH(QString, asked);
    window = makeWindow();
    click("pbEditDatabase");
    click("pbUnlock");
    auto *model = catalogueOf(child<QTableView>("tvEditDatabase"));
    interaction.textAnswers = QStringList{typed};
    interaction.buttonAnswers = {Interaction::Button(answer)};
    click("pbAddRow");
    QCOMPARE(model->rowCount(), added.isEmpty() ? 3 : 4);
    if (!added.isEmpty())
        QVERIFY(model->findByEan(added));
    QCOMPARE(interaction.texts("message").size(), asked.isEmpty() ? 0 : 1);
    if (!asked.isEmpty())
        QCOMPARE(interaction.asked.constLast().title, asked);
}

void tst_MainWindow::catalogueNumberCells_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed"); // empty: the editor is confirmed as it opened
    QTest::addColumn<QString>("stored"); // the cell's text afterwards
    QTest::addColumn<bool>("refused");
    // Absinth: 700 ml, full 1200 g, empty 500 g, no correction.
    QTest::newRow("full weight unchanged") << 4 << QString() << "1200" << false;
    QTest::newRow("blank thousands") << 4 << "1 250" << "1250" << false;
    QTest::newRow("whole, decimal comma") << 3 << "750,0" << "750" << false;
    QTest::newRow("whole, decimal point") << 5 << "450.00" << "450" << false;
    QTest::newRow("negative correction") << 6 << "-15" << "-15" << false;
    QTest::newRow("fraction") << 3 << "750,5" << "700" << true;
    QTest::newRow("negative weight") << 5 << "-5" << "500" << true;
    QTest::newRow("above the station") << 4 << "65 536" << "1200" << true;
    QTest::newRow("text") << 3 << "0,7 l" << "700" << true;
    QTest::newRow("correction beyond") << 6 << "-70000" << "0" << true;
}

// The catalogue's number cells read numbers as the sales table does, refuse at the cell what cannot be a
// value, and keep the old one; an editor confirmed unchanged changes nothing.
void tst_MainWindow::catalogueNumberCells()
{
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, refused);
    window = makeWindow();
    click("pbEditDatabase");
    click("pbUnlock");
    auto *view = child<QTableView>("tvEditDatabase");
    auto *model = catalogueOf(view);
    QVERIFY(model);
    const int row = model->rowOfEan(QStringLiteral("8594000000111"));
    const QDateTime stamped = model->bottles.at(row).modified;
    const QModelIndex cell = view->model()->index(row, column);
    QVERIFY(editCell(view, cell, typed, Qt::Key_Return));

    QCOMPARE(cell.data().toString(), stored);
    QCOMPARE(model->bottles.at(row).modified == stamped, column != 4 || stored == QLatin1String("1200"));
    const QString message = window->statusBar()->currentMessage();
    QVERIFY2(message.startsWith(QLatin1String("Not taken: \"")) == refused, qPrintable(message));
    // Back asks only when something was taken.
    click("pbBack_3");
    const bool asked = !interaction.asked.isEmpty() &&
                       interaction.asked.constLast().title == QLatin1String("Database not saved");
    QCOMPARE(asked, !refused && !typed.isEmpty());
}

void tst_MainWindow::catalogueCostsLeaveTheCatalogueAlone()
{
    const QString catalogueFile = dataDir->filePath(QStringLiteral("database70.xml"));
    const QByteArray catalogueBytes = TestSupport::readFile(catalogueFile);
    window = makeWindow();
    click("pbEditDatabase");
    click("pbUnlock");
    auto *view = child<QTableView>("tvEditDatabase");
    Database *model = catalogueOf(view);
    QVERIFY(model);
    // The cost, then par and supplier.
    const int column = view->model()->columnCount() - 3;
    QCOMPARE(column, int(Database::ColumnCount));
    const QModelIndex cell = view->model()->index(model->rowOfEan(QStringLiteral("8594000000111")), column);

    QVERIFY(editCell(view, cell, QStringLiteral("x1"), Qt::Key_Return));
    QVERIFY(window->statusBar()->currentMessage().startsWith(QLatin1String("Not taken: \"x1\"")));
    QVERIFY(editCell(view, cell, QStringLiteral("249,5"), Qt::Key_Return));

    QCOMPARE(cell.data().toString(), QStringLiteral("249.50"));
    QVERIFY(TestSupport::readFile(dataDir->filePath(QStringLiteral("costs.csv")))
                .contains("\n8594000000111;249.5;;\n"));
    // A cost is no edit of the catalogue: nothing to save, nothing asked on the way back, the file as it was.
    click("pbBack_3");
    QVERIFY(interaction.asked.isEmpty() ||
            interaction.asked.constLast().title != QLatin1String("Database not saved"));
    QCOMPARE(TestSupport::readFile(catalogueFile), catalogueBytes);
}

void tst_MainWindow::unknownBottleCanBeAddedFromTheOverview()
{
    station->setInventory(
        0, {weighing(QStringLiteral("8594000000111"), 850), weighing(QStringLiteral("4006381333931"), 912)});
    station->setLastInventoryNumber(1);
    window = makeWindow();
    interaction.buttonAnswers = {Interaction::Ok, Interaction::Yes};
    click("pbLoadLastInventory");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 1, 10000);

    // The warning names the bottle and its weight, and the database page opens unlocked with a new row
    // holding its EAN.
    const QStringList messages = interaction.texts("message");
    QCOMPARE(messages.size(), 2);
    QCOMPARE(messages.at(0), QStringLiteral("Bottle '4006381333931' is not in database!\n"
                                            "Bottle: 4006381333931, weighed 912 g."));
    QVERIFY(messages.at(1).contains(QStringLiteral("4006381333931")));
    auto *model = catalogueOf(child<QTableView>("tvEditDatabase"));
    QVERIFY(!model->locked);
    QCOMPARE(model->bottles.at(0).ean, QStringLiteral("4006381333931"));
    QCOMPARE(child<QTableView>("tvEditDatabase")->currentIndex().row(), 0);
}

void tst_MainWindow::catalogueSaveGoesIntoStationAndFile()
{
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    {
        QFile touched(file);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(touched.setFileTime(QDateTime(QDate(2024, 2, 3), QTime(10, 0)),
                                    QFileDevice::FileModificationTime));
    }
    window = makeWindow();
    QCOMPARE(child<QLabel>("lblLastDatabaseUpdateTime")->text(), QStringLiteral("03.02.2024"));
    click("pbEditDatabase");
    click("pbUnlock");
    interaction.textAnswers = QStringList{QStringLiteral("8594000000440")};
    click("pbAddRow");
    click("pbSaveDatabase");
    auto *progress = window->findChild<ProgressDialog *>();
    QVERIFY(progress->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!progress->isVisible(), 15000);
    QVERIFY(interaction.texts("error").isEmpty());
    QVERIFY(interaction.texts("message").isEmpty());

    QStringList inStation;
    for (const Bottle &b : station->catalogue())
        inStation << b.ean;
    QCOMPARE(inStation.size(), 4);
    QVERIFY(inStation.contains(QStringLiteral("8594000000440")));
    QList<Bottle> onDisk;
    QVERIFY(Database::parse(TestSupport::readFile(file), onDisk));
    QCOMPARE(onDisk.size(), 4);
    QCOMPARE(child<QLabel>("lblLastDatabaseUpdateTime")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    QVERIFY(catalogueOf(child<QTableView>("tvEditDatabase"))->locked);
}

void tst_MainWindow::catalogueFileFailureIsReported()
{
    window = makeWindow();
    // A folder where the file should be: the station takes the catalogue, the local write cannot.
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    QVERIFY(QFile::remove(file));
    QVERIFY(QDir(dataDir->path()).mkdir(QStringLiteral("database70.xml")));
    click("pbEditDatabase");
    click("pbUnlock");
    click("pbSaveDatabase");
    QTRY_COMPARE_WITH_TIMEOUT(interaction.asked.size(), 1, 15000);
    QCOMPARE(interaction.asked.constFirst().title, QStringLiteral("Unable to save"));
    QVERIFY(isSaveFailureWithReason(interaction.asked.constFirst().text));
    QVERIFY(interaction.asked.constFirst().text.contains(QDir::toNativeSeparators(file)));
    QVERIFY(interaction.asked.constFirst().text.contains(QStringLiteral("now differ")));
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    QVERIFY(!catalogueOf(child<QTableView>("tvEditDatabase"))->locked);
    QVERIFY(child<QPushButton>("pbSaveDatabase")->isEnabled());
}

void tst_MainWindow::unwritableDataFolderIsReportedAtStart()
{
    // Under a plain file no folder can be made, whoever runs the program.
    const QString blocker = workDir->filePath(QStringLiteral("plain-file"));
    QVERIFY(TestSupport::writeFile(blocker, "x"));
    qputenv("QUARMEL_DATA_DIR", (blocker + QStringLiteral("/data")).toLocal8Bit());
    window = makeWindow();
    QCOMPARE(interaction.asked.constFirst().title, QStringLiteral("Data folder not writable"));
    QVERIFY(interaction.asked.constFirst().text.contains(QDir::toNativeSeparators(blocker)));
}

void tst_MainWindow::catalogueSaveWithoutStation()
{
    qputenv("QUARMEL_PORT", workDir->filePath(QStringLiteral("no-such-tty")).toLocal8Bit());
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    const QByteArray before = TestSupport::readFile(file);
    window = makeWindow();
    click("pbEditDatabase");
    click("pbUnlock");
    interaction.textAnswers = QStringList{QStringLiteral("8594000000440")};
    click("pbAddRow");
    click("pbSaveDatabase");
    QTRY_COMPARE_WITH_TIMEOUT(interaction.texts("error").size(), 1, 10000);
    QCOMPARE(interaction.texts("error").constFirst(),
             QStringLiteral("Quarmel must be connected to write database."));
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    QVERIFY(!catalogueOf(child<QTableView>("tvEditDatabase"))->locked);
    QCOMPARE(TestSupport::readFile(file), before);
}

void tst_MainWindow::catalogueTooLargeForStation()
{
    QList<Bottle> many = sampleCatalogue();
    for (int k = many.size(); k <= 1500; ++k) {
        const QString ean = QStringLiteral("859%1").arg(k, 10, 10, QLatin1Char('0'));
        many.append(bottle(ean, QStringLiteral("Gin"), 1200, 500, 700));
    }
    Database seed;
    seed.setBottles(many);
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    QVERIFY(seed.saveToFile(file));
    const QByteArray before = TestSupport::readFile(file);
    window = makeWindow();
    QSignalSpy requests(station.get(), &StationSimulator::requestReceived);
    QVERIFY(requests.isValid());

    click("pbEditDatabase");
    click("pbUnlock");
    click("pbSaveDatabase");
    QCOMPARE(interaction.texts("error"),
             QStringList{QStringLiteral("Quarmel holds at most 1500 items, but the database has 1501. "
                                        "Nothing was written; delete items and save again.")});
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    QVERIFY(!catalogueOf(child<QTableView>("tvEditDatabase"))->locked);
    QVERIFY(child<QPushButton>("pbSaveDatabase")->isEnabled());
    QCOMPARE(TestSupport::readFile(file), before);
    QCOMPARE(station->catalogue().size(), sampleCatalogue().size());
    QCOMPARE(requests.size(), 0);
}

void tst_MainWindow::damagedCatalogueIsKeptAndReported()
{
    const QString file = dataDir->filePath(QStringLiteral("database70.xml"));
    QByteArray bytes = TestSupport::readFile(file);
    bytes.chop(bytes.size() / 3);
    QVERIFY(TestSupport::writeFile(file, bytes));
    window = makeWindow();
    QCOMPARE(interaction.asked.size(), 1);
    QCOMPARE(interaction.asked.constFirst().title, QStringLiteral("Damaged database"));
    const QStringList copies = QDir(dataDir->path()).entryList({QStringLiteral("database70.xml.damaged-*")});
    QCOMPARE(copies.size(), 1);
    QCOMPARE(TestSupport::readFile(dataDir->filePath(copies.constFirst())), bytes);
    QVERIFY(interaction.asked.constFirst().text.contains(copies.constFirst()));
}

void tst_MainWindow::refreshDatabaseShowsAndAppliesUpdate()
{
    QList<Bottle> update = sampleCatalogue();
    update[0].fullWeight = 1250;
    update[0].modified = QDateTime(QDate(2026, 1, 1), QTime(8, 0));
    update.append(bottle(QStringLiteral("8594000000555"), QStringLiteral("Slivovice"), 1300, 450, 700));
    QByteArray hex;
    QVERIFY(encryptHexData(Database::toDocument(update), hex));
    const QString path = workDir->filePath(QStringLiteral("update.hex"));
    QVERIFY(TestSupport::writeFile(path, hex));
    qputenv("QUARMEL_UPDATE_URL", QUrl::fromLocalFile(path).toString().toLocal8Bit());
    window = makeWindow();

    click("pbRefreshDatabase");
    QTRY_COMPARE_WITH_TIMEOUT(page(), 5, 10000);
    QAbstractItemModel *diff = child<QTableView>("tvDatabaseUpdate")->model();
    QVERIFY(diff);
    QCOMPARE(diff->rowCount(), 4);
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
    // No header is cut, whatever the window's width.
    QHeaderView *header = child<QTableView>("tvDatabaseUpdate")->horizontalHeader();
    for (int section = 0; section < diff->columnCount(); ++section) {
        const QString text = diff->headerData(section, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSize(section) > header->fontMetrics().horizontalAdvance(text),
                 qPrintable(text));
    }

    click("pbUpdate");
    QTRY_VERIFY_WITH_TIMEOUT(!window->findChild<ProgressDialog *>()->isVisible(), 15000);
    QVERIFY(interaction.asked.isEmpty());
    QList<Bottle> onDisk;
    QVERIFY(
        Database::parse(TestSupport::readFile(dataDir->filePath(QStringLiteral("database70.xml"))), onDisk));
    QCOMPARE(onDisk.size(), 4);
    QCOMPARE(onDisk.at(0).fullWeight, quint64(1250));
    QCOMPARE(station->catalogue().size(), 4);
}

void tst_MainWindow::refreshDatabaseFailures_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file behind the address
    QTest::addColumn<QString>("message");
    const QString download = QStringLiteral("Error, downloading database, check internet connection.");
    QTest::newRow("unreachable") << QByteArray() << download;
    QTest::newRow("damaged") << QByteArray("0123456789abcdef")
                             << QStringLiteral("The downloaded database update is damaged.");
    // Too large is not a connection to check.
    QTest::newRow("oversized") << QByteArray(CatalogueUpdate::maxReplyBytes + 16, '0')
                               << QStringLiteral("The downloaded database update is larger than 32 MB, which "
                                                 "no catalogue is. Nothing was taken over; check the address "
                                                 "of the update.");
    // Decrypts fine but breaks off inside a record: half an update is not offered as a whole one.
    QByteArray cutShort;
    QVERIFY(encryptHexData("<?xml version=\"1.0\"?><data><dataItem><ean>1</ean><nazev>Gin</nazev>", cutShort));
    QTest::newRow("cut short") << cutShort << QStringLiteral("The downloaded database update is damaged.");
}

void tst_MainWindow::refreshDatabaseFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = workDir->filePath(QStringLiteral("update.hex"));
    if (!content.isEmpty())
        QVERIFY(TestSupport::writeFile(path, content));
    qputenv("QUARMEL_UPDATE_URL", QUrl::fromLocalFile(path).toString().toLocal8Bit());
    window = makeWindow();
    click("pbRefreshDatabase");
    QTRY_COMPARE_WITH_TIMEOUT(interaction.texts("error").size(), 1, 15000);
    QCOMPARE(interaction.texts("error").constFirst(), message);
    QCOMPARE(page(), 0);
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
}

void tst_MainWindow::silentUpdateServerIsGivenUp()
{
    // Takes the connection and never answers.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/update.hex").arg(server.serverPort());
    qputenv("QUARMEL_UPDATE_URL", url.toLatin1());
    window = makeWindow();
    auto *network = window->findChild<QNetworkAccessManager *>();
    QVERIFY(network);
    QCOMPARE(network->transferTimeout(), CatalogueUpdate::transferTimeoutMs);
    network->setProxy(QNetworkProxy::NoProxy);
    network->setTransferTimeout(200);

    click("pbRefreshDatabase");
    QVERIFY(window->findChild<ProgressDialog *>()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(interaction.texts("error").size(), 1, 10000);
    QCOMPARE(interaction.texts("error").constFirst(),
             QStringLiteral("Error, downloading database, check internet connection."));
    QVERIFY(server.hasPendingConnections());
    QVERIFY(!window->findChild<ProgressDialog *>()->isVisible());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
