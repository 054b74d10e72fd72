// The window-wide parts of the program: the menu bar and its shortcuts, the help, the buttons' mnemonics,
// the remembered window geometry and the first start without a catalogue.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "fileprompt.h"
#include "historypage.h"
#include "progressdialog.h"

#include "cataloguereader.h"
#include "database.h"
#include "interaction.h"
#include "settings.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QSettings>
#include <QUrl>

#include <functional>

Q_LOGGING_CATEGORY(lcMenus, "menus")

namespace {
const char geometryKey[] = "window/geometry";
const char stateKey[] = "window/state";

// The letter after a lone '&' of `text`, or a null QChar.
QChar mnemonicOf(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return QChar();
}

QString withoutMnemonic(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&&"));
    return text;
}

// Only letters and digits every keyboard layout of our users types unshifted with Alt.
bool typable(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// The letters `text` could take as its mnemonic, best first: the one it has, the first letters of its
// words, then its other letters.
QList<QChar> candidates(const QString &text)
{
    QList<QChar> result;
    const QChar had = mnemonicOf(text);
    if (!had.isNull() && typable(had))
        result.append(had);
    const QString plain = withoutMnemonic(text);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < plain.size(); ++i) {
            const QChar c = plain.at(i).toLower();
            const bool wordStart = i == 0 || !plain.at(i - 1).isLetterOrNumber();
            if (typable(c) && (pass == 1 || wordStart) && !result.contains(c))
                result.append(c);
        }
    }
    return result;
}

// `text` with its mnemonic on `letter`, which it holds; a letter of its own in brackets when it holds none.
QString withMnemonic(const QString &text, QChar letter)
{
    const QString plain = withoutMnemonic(text);
    for (int i = 0; i < plain.size(); ++i)
        if (plain.at(i).toLower() == letter && (i == 0 || plain.at(i - 1) != QLatin1Char('&')))
            return plain.left(i) + QLatin1Char('&') + plain.mid(i);
    return plain + QStringLiteral(" (&") + letter.toUpper() + QLatin1Char(')');
}

// One letter per text, none of `taken`, as many of the texts' own letters as can be had (a matching that
// moves an earlier text to its next letter when a later one has no other), word-initial letters first.
QList<QChar> matchMnemonics(const QStringList &texts, const QSet<QChar> &taken)
{
    QList<QList<QChar>> choices;
    for (const QString &text : texts)
        choices.append(candidates(text));
    QHash<QChar, int> owner;
    QList<QChar> letters;
    for (int item = 0; item < texts.size(); ++item)
        letters.append(QChar());
    std::function<bool(int, QSet<QChar> &)> place = [&](int item, QSet<QChar> &seen) {
        for (const QChar c : qAsConst(choices[item])) {
            if (taken.contains(c) || seen.contains(c))
                continue;
            seen.insert(c);
            if (!owner.contains(c) || place(owner.value(c), seen)) {
                owner.insert(c, item);
                letters[item] = c;
                return true;
            }
        }
        return false;
    };
    for (int item = 0; item < texts.size(); ++item) {
        QSet<QChar> seen;
        place(item, seen);
    }
    // A text with none of its letters free gets a free letter of the alphabet after it.
    for (int item = 0; item < texts.size(); ++item) {
        if (!letters.at(item).isNull())
            continue;
        for (char c = 'a'; c <= 'z'; ++c)
            if (!taken.contains(QLatin1Char(c)) && !owner.contains(QLatin1Char(c))) {
                owner.insert(QLatin1Char(c), item);
                letters[item] = QLatin1Char(c);
                break;
            }
    }
    return letters;
}

bool insideItemView(const QWidget *widget)
{
    for (const QWidget *w = widget->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<const QAbstractItemView *>(w))
            return true;
    return false;
}

// Where the guide is: installed beside the other documents of the package, else in the source tree of a
// build made in a folder of the source tree.
QString userGuidePath()
{
    const QString bin = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString candidates[] = {
        bin + QStringLiteral("../share/doc/quarmel-inventory/docs/user-guide.md"),
        bin + QStringLiteral("../../docs/user-guide.md"),
    };
    for (const QString &candidate : candidates)
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    return QString();
}
} // namespace

void MainWindow::setUpMenus()
{
    const auto entry = [this](QMenu *menu, const QString &text, const QList<QPushButton *> &buttons,
                              const QKeySequence &keys = QKeySequence()) {
        QAction *action = menu->addAction(text);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, action] {
            updateActions();
            for (const auto &entry : qAsConst(buttonActions))
                if (entry.first == action)
                    for (QPushButton *button : entry.second)
                        if (button->isEnabled() && button->isVisibleTo(ui->stackedWidget->currentWidget()) &&
                            ui->stackedWidget->currentWidget()->isAncestorOf(button)) {
                            button->click();
                            return;
                        }
        });
        buttonActions.append({action, buttons});
        return action;
    };
    const auto named = [this](const char *name) { return findChild<QPushButton *>(QLatin1String(name)); };

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    entry(file, tr("Save Table"), {ui->pbSaveInventory}, QKeySequence::Save)->setObjectName(
        QStringLiteral("actionSaveTable"));
    entry(file, tr("Import Table..."), {ui->pbImportInventory}, QKeySequence::Open)
        ->setObjectName(QStringLiteral("actionImportTable"));
    QMenu *exportMenu = file->addMenu(tr("Export"));
    entry(exportMenu, tr("Export to Excel"),
          {ui->pbInventoryExportExcel, ui->pbInventoryOverviewExportExcel, named("pbHistoryWorkbook")})
        ->setObjectName(QStringLiteral("actionExportExcel"));
    entry(exportMenu, tr("Export to CSV"),
          {ui->pbInventoryExportCSV, ui->pbInventoryOverviewExportCSV, named("pbHistoryExport")})
        ->setObjectName(QStringLiteral("actionExportCsv"));
    entry(exportMenu, tr("Export to XML"), {ui->pbInventoryOverviewExportXML})
        ->setObjectName(QStringLiteral("actionExportXml"));
    entry(file, tr("Print..."), {ui->pbPrintInventory, ui->pbPrint_2, named("pbHistoryPrint")},
          QKeySequence::Print)
        ->setObjectName(QStringLiteral("actionPrint"));
    entry(file, tr("Order List..."), {named("pbOrderList")})->setObjectName(QStringLiteral("actionOrderList"));
    entry(file, tr("Deliveries and Issues..."), {named("pbDeliveries")})
        ->setObjectName(QStringLiteral("actionDeliveries"));
    file->addSeparator();
    QAction *quit = file->addAction(tr("Quit"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    quit->setObjectName(QStringLiteral("actionQuit"));

    QMenu *station = menuBar()->addMenu(tr("S&tation"));
    entry(station, tr("Load Last Inventory"), {ui->pbLoadLastInventory})
        ->setObjectName(QStringLiteral("actionLoadLast"));
    entry(station, tr("Load Last Three Inventories"), {ui->pbLoadLastThreeInventory})
        ->setObjectName(QStringLiteral("actionLoadLastThree"));
    entry(station, tr("Write Catalogue into Station"), {ui->pbSaveDatabase})
        ->setObjectName(QStringLiteral("actionWriteCatalogue"));

    QMenu *catalogue = menuBar()->addMenu(tr("&Catalogue"));
    entry(catalogue, tr("Edit Catalogue"), {ui->pbEditDatabase})->setObjectName(QStringLiteral("actionEditCatalogue"));
    entry(catalogue, tr("Refresh Catalogue"), {ui->pbRefreshDatabase})
        ->setObjectName(QStringLiteral("actionRefreshCatalogue"));
    entry(catalogue, tr("Unlock to Edit"), {ui->pbUnlock})->setObjectName(QStringLiteral("actionUnlock"));
    entry(catalogue, tr("Add Item"), {ui->pbAddRow})->setObjectName(QStringLiteral("actionAddItem"));

    QMenu *history = menuBar()->addMenu(tr("Histor&y"));
    entry(history, tr("Show History"), {named("pbHistory")})->setObjectName(QStringLiteral("actionHistory"));
    entry(history, tr("Open Count"), {named("pbHistoryOpen")})->setObjectName(QStringLiteral("actionOpenCount"));
    entry(history, tr("Import Folder..."), {named("pbHistoryImport")})
        ->setObjectName(QStringLiteral("actionImportFolder"));

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    QAction *guide = help->addAction(tr("User Guide"), this, &MainWindow::showUserGuide);
    guide->setShortcut(QKeySequence::HelpContents);
    guide->setObjectName(QStringLiteral("actionUserGuide"));
    help->addAction(tr("About Quarmel Inventory"), this, &MainWindow::showAbout)
        ->setObjectName(QStringLiteral("actionAbout"));

    // A button missing from a page (a page built without it) leaves its entry without a target.
    for (auto &entry : buttonActions)
        entry.second.removeAll(nullptr);
    for (QMenu *menu : {file, exportMenu, station, catalogue, history})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateActions);
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, &MainWindow::updateActions);
    // Buttons enabled and disabled by the pages: the shortcuts follow them at once.
    for (const auto &entry : qAsConst(buttonActions))
        for (QPushButton *button : entry.second)
            button->installEventFilter(this);
    updateActions();
}

void MainWindow::updateActions()
{
    QWidget *page = ui->stackedWidget->currentWidget();
    for (const auto &entry : qAsConst(buttonActions)) {
        bool usable = false;
        for (const QPushButton *button : entry.second)
            usable = usable ||
                     (page && page->isAncestorOf(button) && button->isVisibleTo(page) && button->isEnabled());
        entry.first->setEnabled(usable);
    }
}

void MainWindow::assignMnemonics()
{
    QSet<QChar> menuLetters;
    for (const QAction *menu : menuBar()->actions())
        if (!mnemonicOf(menu->text()).isNull())
            menuLetters.insert(mnemonicOf(menu->text()));
    // The entries of each menu, a letter each within their menu.
    for (QMenu *menu : menuBar()->findChildren<QMenu *>()) {
        QList<QAction *> entries;
        QStringList texts;
        for (QAction *action : menu->actions())
            if (!action->isSeparator()) {
                entries.append(action);
                texts.append(action->text());
            }
        const QList<QChar> letters = matchMnemonics(texts, QSet<QChar>());
        for (int e = 0; e < entries.size(); ++e)
            if (!letters.at(e).isNull())
                entries.at(e)->setText(withMnemonic(texts.at(e), letters.at(e)));
    }
    for (int i = 0; i < ui->stackedWidget->count(); ++i) {
        QWidget *page = ui->stackedWidget->widget(i);
        QList<QWidget *> widgets;
        QStringList texts;
        for (QAbstractButton *button : page->findChildren<QAbstractButton *>())
            if (!insideItemView(button)) {
                widgets.append(button);
                texts.append(button->text());
            }
        for (QLabel *label : page->findChildren<QLabel *>())
            if (label->buddy() && !insideItemView(label)) {
                widgets.append(label);
                texts.append(label->text());
            }
        const QList<QChar> letters = matchMnemonics(texts, menuLetters);
        for (int w = 0; w < widgets.size(); ++w) {
            if (letters.at(w).isNull())
                continue;
            const QString text = withMnemonic(texts.at(w), letters.at(w));
            if (auto *button = qobject_cast<QAbstractButton *>(widgets.at(w)))
                button->setText(text);
            else
                static_cast<QLabel *>(widgets.at(w))->setText(text);
        }
    }
}

void MainWindow::showUserGuide()
{
    const QString path = userGuidePath();
    if (!path.isEmpty() && Interaction::instance()->openUrl(QUrl::fromLocalFile(path)))
        return;
    qCWarning(lcMenus) << "User guide not opened:" << path;
    Interaction::instance()->message(
        this, Interaction::Icon::Warning, tr("User Guide"),
        path.isEmpty() ? tr("The user guide is not installed.")
                       : tr("No program was found to open the user guide %1.").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::showAbout()
{
    QString text = tr("Quarmel Inventory %1").arg(QStringLiteral(QUARMEL_VERSION)) + QLatin1Char('\n') +
                   tr("Stock-taking and takings of a bar with a Quarmel weighing station.") +
                   QStringLiteral("\n\n") + tr("© 2026 Quarmel Inventory developers. Free to use in your bar.") +
                   QLatin1Char('\n') + tr("Licence: see the copyright file installed with the program.");
    const QString firmware = ui->lblQuarmelVersion->text();
    text += QStringLiteral("\n\n") + (firmware.isEmpty() ? tr("Station firmware: not read yet") : firmware);
    Interaction::instance()->message(this, Interaction::Icon::Information, tr("About Quarmel Inventory"), text);
}

void MainWindow::restoreWindowGeometry()
{
    const QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    const QByteArray saved = settings.value(QLatin1String(geometryKey)).toByteArray();
    if (saved.isEmpty() || !restoreGeometry(saved)) {
        openAsLargeAsThePages();
        return;
    }
    restoreState(settings.value(QLatin1String(stateKey)).toByteArray());
    // A screen unplugged since, or a smaller one: the window comes back where it can be seen and reached.
    // Not shown yet, the window has no frame; room is left for a usual title bar and border.
    const QMargins border(8, 32, 8, 8);
    const QRect frame = isVisible() ? frameGeometry() : geometry().marginsAdded(border);
    QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    if (available.contains(frame))
        return;
    const QSize frameExtra = frame.size() - size();
    resize(size().boundedTo(available.size() - frameExtra));
    const QSize shown = size() + frameExtra;
    QPoint at = frame.topLeft();
    at.setX(qBound(available.left(), at.x(), qMax(available.left(), available.right() - shown.width() + 1)));
    at.setY(qBound(available.top(), at.y(), qMax(available.top(), available.bottom() - shown.height() + 1)));
    // move() places the frame's corner.
    move(at);
}

// With nothing remembered, the window opens as wide as its widest page asks, within the screen: the pages
// scroll sideways where the screen is too narrow for them, never merely because the form was drawn narrower.
// The form's height is kept; it is made to fit a screen 768 pixels high with a title bar and a panel.
void MainWindow::openAsLargeAsThePages()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    auto *pageScroll = findChild<QScrollArea *>(QStringLiteral("pageScroll"));
    if (!screen || !pageScroll || !layout())
        return;
    layout()->activate();
    const int missing = ui->stackedWidget->sizeHint().width() - pageScroll->viewport()->width();
    // Room for a usual window border on either side, and for a title bar: on a screen smaller than the form
    // (1920 x 1080 at 200 %, 1366 x 768 at 125 %) the form shrinks to the screen and its pages scroll.
    const QSize room = screen->availableGeometry().size() - QSize(16, 40);
    const int wide = missing > 0 ? width() + missing : width();
    resize(QSize(wide, height()).boundedTo(room));
}

void MainWindow::saveWindowGeometry() const
{
    QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    settings.setValue(QLatin1String(geometryKey), saveGeometry());
    settings.setValue(QLatin1String(stateKey), saveState());
}

void MainWindow::welcome()
{
    const QString folder = QFileInfo(localFilePath(QLatin1String(DataFile::catalogue))).absolutePath();
    const QStringList choices = {tr("Read the catalogue from the station"), tr("Import a catalogue file (CSV)..."),
                                 tr("Start with an empty catalogue")};
    int chosen = 0;
    if (!Interaction::instance()->choose(
            this, tr("Welcome to Quarmel Inventory"),
            tr("There is no catalogue of bottles yet. Quarmel Inventory keeps its data in the folder %1.\n"
               "Where should the catalogue come from?")
                .arg(QDir::toNativeSeparators(folder)),
            choices, &chosen))
        return;
    if (chosen == 0)
        readCatalogueFromStation();
    else if (chosen == 1)
        importCatalogueCsv();
}

void MainWindow::readCatalogueFromStation()
{
    stationCatalogue.clear();
    readingStationCatalogue = true;
    showProgress(tr("Reading the catalogue from Quarmel: %1 %").arg(0));
    communication->readDatabase(&stationCatalogue);
}

void MainWindow::catalogueReadFromStation()
{
    if (!readingStationCatalogue)
        return;
    readingStationCatalogue = false;
    progressDialog->close();
    database->setBottles(stationCatalogue);
    // What the station holds needs no writing back: it is kept on this computer at once.
    const QString path = localFilePath(QLatin1String(DataFile::catalogue));
    QString reason;
    if (!database->saveToFile(path, false, &reason)) {
        FilePrompt::reportSaveFailure(this, path, reason);
    } else {
        catalogueSaved();
        updateDatabaseDateLabel();
    }
    editDatabase();
    Interaction::instance()->message(this, Interaction::Icon::Information, tr("Catalogue read"),
                                     tr("Items read from Quarmel: %1").arg(stationCatalogue.size()));
}

void MainWindow::importCatalogueCsv()
{
    const QString path = FilePrompt::ask(this, tr("Import a catalogue file"), "catalogueImport", QString(),
                                         tr("CSV Files (*.csv)"), false, nullptr);
    if (path.isEmpty())
        return;
    QList<Bottle> bottles;
    QString error;
    if (!CatalogueReader::readFile(path, &bottles, &error)) {
        showError(tr("The catalogue file cannot be used: %1").arg(error));
        return;
    }
    database->setBottles(bottles);
    // Not saved yet: Save writes it into the station and keeps it here, as after any edit.
    editDatabase();
    setDatabaseLocked(false);
}
