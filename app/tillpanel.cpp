#include "tillpanel.h"

#include "interaction.h"
#include "inventory.h"
#include "iteminventory.h"
#include "settings.h"
#include "shown.h"
#include "tillcolumnsdialog.h"
#include "tillexport.h"

#include <QAction>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcTillPanel, "tillpanel")

namespace {
// The user's corrections of the till matching, kept for the next counts.
constexpr const char *matchesFile = DataFile::tillMatches;
constexpr int shownRejectedLines = 15;
} // namespace

TillPanel::TillPanel(Inventory &inventory, ItemInventory &items, QWidget *parent)
    : QWidget(parent), inventory(inventory), items(items)
{
    setObjectName(QStringLiteral("tillPanel"));
    matches.load(localFilePath(QLatin1String(matchesFile)));

    amount = new QLineEdit(this);
    amount->setObjectName(QStringLiteral("leTillAmount"));
    amount->setPlaceholderText(tr("from the till's report"));
    auto *importButton = new QPushButton(tr("Import Till Export"), this);
    importButton->setObjectName(QStringLiteral("pbImportTill"));
    auto *columnsButton = new QPushButton(tr("Columns..."), this);
    columnsButton->setObjectName(QStringLiteral("pbTillColumns"));
    columnsButton->setToolTip(tr("Choose again which columns of the imported till export are read"));
    auto *matchButton = new QPushButton(tr("Change Match..."), this);
    matchButton->setToolTip(tr("Point the selected till product or row at another row of the table"));
    matchButton->setObjectName(QStringLiteral("pbMatchTill"));
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("lblTillVariance"));
    summary->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Till takings:"), this));
    top->addWidget(amount);
    top->addWidget(importButton);
    top->addWidget(columnsButton);
    top->addWidget(matchButton);
    // However long the summary grows, the field and the buttons keep their place: a click meant for Import
    // must not land in the amount.
    // Wide enough for the hint in every language, too.
    const QFontMetrics metrics = amount->fontMetrics();
    amount->setFixedWidth(qMax(metrics.horizontalAdvance(QStringLiteral("0000000000000,00")),
                               metrics.horizontalAdvance(amount->placeholderText())) +
                          24);
    summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    top->addWidget(summary, 1);

    view = new QTableView;
    view->setTabKeyNavigation(false);
    view->setObjectName(QStringLiteral("tvTillVariance"));
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(TillVarianceModel::NameColumn, QHeaderView::Stretch);
    view->verticalHeader()->hide();
    // Five rows of the comparison at least, the header and a scroll bar included.
    view->setMinimumHeight(view->verticalHeader()->defaultSectionSize() * 6 + view->horizontalHeader()->sizeHint().height());
    unmatchedTill = new QListWidget;
    unmatchedTill->setObjectName(QStringLiteral("lwUnmatchedTill"));
    unmatchedRows = new QListWidget;
    unmatchedRows->setObjectName(QStringLiteral("lwUnmatchedRows"));
    auto *tillColumn = new QVBoxLayout;
    tillColumn->addWidget(new QLabel(tr("Till products not matched:")));
    tillColumn->addWidget(unmatchedTill);
    auto *rowColumn = new QVBoxLayout;
    rowColumn->addWidget(new QLabel(tr("Sold but not in the till:")));
    rowColumn->addWidget(unmatchedRows);
    // The comparison takes room from the sales table, so it shows only once there is a till to compare with.
    details = new QWidget(this);
    auto *lists = new QHBoxLayout(details);
    lists->setContentsMargins(0, 0, 0, 0);
    lists->addWidget(view, 3);
    lists->addLayout(tillColumn, 1);
    lists->addLayout(rowColumn, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addWidget(details);
    setMaximumHeight(view->minimumHeight() + importButton->sizeHint().height() + 60);

    connect(amount, &QLineEdit::editingFinished, this, &TillPanel::amountEdited);
    connect(importButton, &QPushButton::clicked, this, &TillPanel::importExport);
    connect(columnsButton, &QPushButton::clicked, this, &TillPanel::changeColumns);
    connect(matchButton, &QPushButton::clicked, this, &TillPanel::matchSelected);
    connect(unmatchedTill, &QListWidget::itemActivated, this, &TillPanel::matchSelected);
    connect(unmatchedRows, &QListWidget::itemActivated, this, &TillPanel::matchSelected);
    connect(view, &QTableView::activated, this, &TillPanel::matchSelected);
    // One selection across the table and the two lists, so that Change Match knows what it is about.
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { keepOneSelection(view); });
    connect(unmatchedTill, &QListWidget::itemSelectionChanged, this,
            [this] { keepOneSelection(unmatchedTill); });
    connect(unmatchedRows, &QListWidget::itemSelectionChanged, this,
            [this] { keepOneSelection(unmatchedRows); });
    for (QAbstractItemView *widget :
         {static_cast<QAbstractItemView *>(view), static_cast<QAbstractItemView *>(unmatchedTill),
          static_cast<QAbstractItemView *>(unmatchedRows)}) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint &position) { showMenu(widget, position); });
    }
    refresh();
}

void TillPanel::clear()
{
    till = TillFigures();
    imported = TillTable();
    amount->clear();
    refresh();
}

void TillPanel::setFigures(const TillFigures &figures)
{
    till = figures;
    imported = TillTable(); // the figures of a saved count, not of a file to read again
    amount->setText(till.hasAmount ? Shown::fixed(till.amount, 2) : QString());
    refresh();
}

void TillPanel::setReadOnly(bool readOnly)
{
    locked = readOnly;
    amount->setReadOnly(readOnly);
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setVisible(!readOnly);
    // The lists still show what is not matched; activating an entry would ask for a match to remember.
    for (QListWidget *list : findChildren<QListWidget *>())
        list->blockSignals(readOnly);
}

void TillPanel::refresh()
{
    // An old count is compared in its own currency.
    model.currency = inventory.currency;
    model.setComparison(TillComparison::compare(inventory, items, till, matches));
    const TillComparison &shown = model.comparison();
    summary->setText(till.isEmpty() ? tr("No till figures yet") : model.summary());
    if (imported.header.isEmpty())
        summary->setToolTip(QString());
    details->setVisible(!till.lines.isEmpty());
    // A typed amount alone has no till products to match.
    findChild<QPushButton *>(QStringLiteral("pbMatchTill"))->setEnabled(!till.lines.isEmpty());
    findChild<QPushButton *>(QStringLiteral("pbTillColumns"))->setEnabled(!imported.header.isEmpty());
    unmatchedTill->clear();
    for (const TillLine &line : shown.unmatchedTill)
        unmatchedTill->addItem(
            !till.hasQuantities
                ? tr("%1: %2 %3").arg(lineLabel(line), Shown::fixed(line.amount, 2), Settings::currencyName())
                : tr("%1: %2 sold, %3 %4")
                      .arg(lineLabel(line), Shown::number(QString::number(line.quantity, 'g', 10)),
                           Shown::fixed(line.amount, 2), Settings::currencyName()));
    unmatchedRows->clear();
    unmatchedRows->addItems(shown.unmatchedRows);
}

void TillPanel::amountEdited()
{
    const QString text = amount->text().trimmed();
    double value = 0;
    const bool typed = !text.isEmpty();
    // Takings below zero are a typing slip, and would pass as money missing from the till.
    if (typed && (!TillSales::parseNumber(text, &value) || value < 0)) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Till takings"),
                                         tr("\"%1\" is not an amount.").arg(text));
        return;
    }
    if (typed == till.hasAmount && value == till.amount)
        return;
    till.hasAmount = typed;
    till.amount = value;
    inventory.modified = true;
    refresh();
}

void TillPanel::importExport()
{
    QString folder;
    const QString fileName = Interaction::instance()->fileDialog(
        this, tr("Import Till Export"), rememberedFolder(QLatin1String(RememberedFolder::tillPath)),
        tr("Till exports (*.csv *.txt *.xlsx)"), false, &folder);
    if (fileName.isEmpty())
        return;
    setRememberedFolder(QLatin1String(RememberedFolder::tillPath), folder);
    QByteArray bytes;
    TillTable table;
    QString reason;
    if (!TillExport::readFile(fileName, &bytes, &reason) || !TillExport::readTable(bytes, &table, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical,
                                         tr("Unable to import till export"), reason);
        return;
    }
    bool certain = false;
    TillColumns columns = TillExport::guessColumns(table, &certain);
    TillExport::RememberedColumns remembered;
    const QString rememberedPath = localFilePath(TillExport::RememberedColumns::fileName());
    remembered.load(rememberedPath);
    // A layout chosen before, or one recognised beyond doubt, is read unasked; any other is confirmed.
    if (!remembered.find(table, &columns) && !certain) {
        if (!chooseColumns(table, &columns))
            return;
        remembered.remember(table, columns);
        if (!remembered.save(rememberedPath, &reason)) {
            qCWarning(lcTillPanel, "The till columns could not be kept: %s", qUtf8Printable(reason));
            Interaction::instance()->message(
                this, Interaction::Icon::Warning, tr("Import Till Export"),
                tr("The columns apply now but could not be kept for the next import: %1").arg(reason));
        }
    }
    imported = table;
    importedColumns = columns;
    importedFile = fileName;
    readImported();
}

void TillPanel::changeColumns()
{
    if (locked || imported.header.isEmpty())
        return;
    TillColumns columns = importedColumns;
    if (!chooseColumns(imported, &columns))
        return;
    TillExport::RememberedColumns remembered;
    const QString rememberedPath = localFilePath(TillExport::RememberedColumns::fileName());
    remembered.load(rememberedPath);
    remembered.remember(imported, columns);
    QString reason;
    if (!remembered.save(rememberedPath, &reason))
        Interaction::instance()->message(
            this, Interaction::Icon::Warning, tr("Import Till Export"),
            tr("The columns apply now but could not be kept for the next import: %1").arg(reason));
    importedColumns = columns;
    readImported();
}

void TillPanel::readImported()
{
    TillReading reading;
    QString reason;
    if (!TillExport::read(imported, importedColumns, &reading, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical,
                                         tr("Unable to import till export"), reason);
        return;
    }
    till.lines = reading.figures.lines;
    till.hasQuantities = reading.figures.hasQuantities;
    inventory.modified = true;
    refresh();
    // What the figures were read with, for the user to check without asking.
    const QString columnsText = TillExport::describe(imported, importedColumns);
    summary->setToolTip(tr("Read from %1 (%2) with the columns %3")
                            .arg(QDir::toNativeSeparators(importedFile), imported.encoding, columnsText));
    qCDebug(lcTillPanel, "%s read as %s with the columns %s", qUtf8Printable(importedFile),
           qUtf8Printable(imported.encoding), qUtf8Printable(columnsText));
    if (reading.refused.isEmpty() && reading.skipped.isEmpty())
        return;
    qCWarning(lcTillPanel, "%d lines of %s not understood, %d skipped", int(reading.refused.size()),
              qUtf8Printable(importedFile), int(reading.skipped.size()));
    const auto listed = [](const QStringList &lines) {
        QStringList shown = lines.mid(0, shownRejectedLines);
        if (lines.size() > shownRejectedLines)
            shown << tr("... and %1 more").arg(lines.size() - shownRejectedLines);
        return shown.join(QLatin1Char('\n'));
    };
    QStringList parts;
    if (!reading.refused.isEmpty())
        parts << tr("These lines were not understood and are not counted:\n%1").arg(listed(reading.refused));
    if (!reading.skipped.isEmpty())
        parts << tr("These lines are the till's own totals and summaries, not counted:\n%1")
                     .arg(listed(reading.skipped));
    Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Till export"),
                                     parts.join(QStringLiteral("\n\n")));
}

bool TillPanel::chooseColumns(const TillTable &table, TillColumns *columns)
{
    TillColumnsDialog dialog(table, *columns, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *columns = dialog.columns();
    return columns->isUsable(table.columnCount());
}

void TillPanel::keepOneSelection(QWidget *selected)
{
    const auto has = [](QAbstractItemView *widget) { return widget->selectionModel()->hasSelection(); };
    if (!has(static_cast<QAbstractItemView *>(selected)))
        return;
    if (selected != view)
        view->clearSelection();
    if (selected != unmatchedTill)
        unmatchedTill->clearSelection();
    if (selected != unmatchedRows)
        unmatchedRows->clearSelection();
}

QList<int> TillPanel::selectedLines(QString *row) const
{
    const TillComparison &shown = model.comparison();
    QList<int> lines;
    const auto linesWith = [&](const QString &target) {
        for (int i = 0; i < shown.lineTargets.size(); ++i) {
            bool inRecipe = false;
            for (const TillMatches::Part &part : TillMatches::recipeParts(shown.lineTargets.at(i)))
                inRecipe = inRecipe || (!target.isEmpty() && part.target == target);
            if (shown.lineTargets.at(i) == target || inRecipe)
                lines.append(i);
        }
    };
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    if (!rows.isEmpty() && rows.constFirst().row() < shown.rows.size()) {
        linesWith(shown.rows.at(rows.constFirst().row()).target);
        return lines;
    }
    // The unmatched till products are listed in the order of the export.
    const int tillRow = unmatchedTill->selectedItems().isEmpty() ? -1 : unmatchedTill->currentRow();
    if (tillRow >= 0) {
        linesWith(QString());
        return tillRow < lines.size() ? QList<int>{lines.at(tillRow)} : QList<int>();
    }
    const int salesRow = unmatchedRows->selectedItems().isEmpty() ? -1 : unmatchedRows->currentRow();
    if (salesRow >= 0 && salesRow < shown.unmatchedRowTargets.size())
        *row = shown.unmatchedRowTargets.at(salesRow);
    for (int i = 0; i < till.lines.size(); ++i)
        lines.append(i);
    return lines;
}

QString TillPanel::lineLabel(const TillLine &line) const
{
    return line.code.isEmpty() ? line.name : (line.code + QLatin1Char(' ') + line.name).trimmed();
}

QString TillPanel::targetLabel(const QString &target) const
{
    if (target.isEmpty() || target == TillMatches::noTarget())
        return tr("no row");
    if (TillMatches::isRecipe(target)) {
        QStringList parts;
        for (const TillMatches::Part &part : TillMatches::recipeParts(target))
            parts << (part.target.startsWith(QLatin1String("ean:")) ? tr("%1 ml of %2") : tr("%1 pieces of %2"))
                         .arg(Shown::number(QString::number(part.amount, 'g', 6)), targetLabel(part.target));
        return tr("recipe: %1").arg(parts.join(QStringLiteral(" + ")));
    }
    for (const SalesRow &row : inventory.rows) {
        if (TillMatches::bottleTarget(row.ean) == target)
            return QStringLiteral("%1 (%2)").arg(row.name, row.ean);
    }
    for (const AppendedItem &item : items.rows) {
        if (TillMatches::itemTarget(item.name) == target)
            return tr("%1 (appended item)").arg(item.name);
    }
    return tr("a row this count does not have");
}

bool TillPanel::chooseLine(const QList<int> &lines, const QString &label, int *line)
{
    QStringList choices;
    for (const int i : lines)
        choices << tr("%1 - now: %2")
                       .arg(lineLabel(till.lines.at(i)),
                            targetLabel(model.comparison().lineTargets.value(i)));
    int chosen = -1;
    if (!Interaction::instance()->choose(this, tr("Change Match"), label, choices, &chosen) || chosen < 0 ||
        chosen >= lines.size())
        return false;
    *line = lines.at(chosen);
    return true;
}

// Every row of the table a till product can stand for: the bottles, then the named appended items, once each.
QStringList TillPanel::rowTargets() const
{
    QStringList targets;
    for (const SalesRow &row : inventory.rows)
        targets << TillMatches::bottleTarget(row.ean);
    for (const AppendedItem &item : items.rows) {
        if (!item.name.trimmed().isEmpty())
            targets << TillMatches::itemTarget(item.name);
    }
    targets.removeDuplicates();
    return targets;
}

bool TillPanel::chooseTarget(const TillLine &line, QString *target)
{
    // What the matching finds by code and name alone, so the user sees what undoing a correction gives.
    TillFigures alone;
    alone.lines = {line};
    TillMatches automatic = matches;
    automatic.targets.remove(TillMatches::keyOf(line));
    const QString found = TillComparison::compare(inventory, items, alone, automatic).lineTargets.value(0);

    // A recipe stands for portions of several rows; it is built in the steps that follow.
    const QString recipe = QStringLiteral("recipe:");
    QStringList targets = QStringList{QString(), TillMatches::noTarget(), recipe} + rowTargets();
    QStringList choices{tr("Automatic: %1").arg(targetLabel(found)), tr("No row: never match it"),
                        tr("Recipe: portions of several rows...")};
    targets.removeDuplicates();
    for (int i = 3; i < targets.size(); ++i)
        choices << targetLabel(targets.at(i));
    const QString now = matches.targets.value(TillMatches::keyOf(line));
    int chosen = TillMatches::isRecipe(now) ? 2 : int(targets.indexOf(now));
    if (!Interaction::instance()->choose(
            this, tr("Change Match"),
            tr("Row of the table for the till product \"%1\":").arg(lineLabel(line)), choices, &chosen) ||
        chosen < 0 || chosen >= targets.size())
        return false;
    if (targets.at(chosen) == recipe)
        return chooseRecipe(line, target);
    *target = targets.at(chosen);
    return true;
}

bool TillPanel::chooseRecipe(const TillLine &line, QString *target)
{
    const QStringList targets = rowTargets();
    QStringList choices;
    for (const QString &row : targets)
        choices << targetLabel(row);
    QList<TillMatches::Part> parts;
    for (;;) {
        QStringList offered = choices;
        if (!parts.isEmpty())
            offered.prepend(tr("Done"));
        const QString sofar = parts.isEmpty() ? tr("nothing yet") : targetLabel(TillMatches::recipeTarget(parts));
        int chosen = -1;
        if (!Interaction::instance()->choose(
                this, tr("Recipe"),
                tr("A row that one \"%1\" pours from (so far: %2):").arg(lineLabel(line), sofar), offered,
                &chosen) ||
            chosen < 0 || chosen >= offered.size())
            return false;
        if (!parts.isEmpty() && chosen == 0)
            break;
        const QString row = targets.at(chosen - (parts.isEmpty() ? 0 : 1));
        const bool bottle = row.startsWith(QLatin1String("ean:"));
        int amount = bottle ? 40 : 1;
        for (const SalesRow &sales : inventory.rows) {
            if (TillMatches::bottleTarget(sales.ean) == row && sales.sellUnit > 0)
                amount = int(sales.sellUnit);
        }
        const QString label = bottle ? tr("Millilitres of %1 in one \"%2\":") : tr("Pieces of %1 in one \"%2\":");
        if (!Interaction::instance()->getNumber(this, tr("Recipe"), label.arg(targetLabel(row), lineLabel(line)),
                                                1, bottle ? 5000 : 100, &amount))
            return false;
        parts.append({row, double(amount)});
    }
    *target = TillMatches::recipeTarget(parts);
    return true;
}

void TillPanel::matchSelected()
{
    if (locked)
        return;
    QString row;
    const QList<int> lines = selectedLines(&row);
    if (lines.isEmpty()) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Change Match"),
                                         tr("Import the till's export first."));
        return;
    }
    int line = lines.size() == 1 && row.isEmpty() ? lines.constFirst() : -1;
    if (!row.isEmpty()) {
        // A row the till seems not to know: which till product sold it?
        if (!chooseLine(lines, tr("Till product that sold \"%1\":").arg(targetLabel(row)), &line))
            return;
    } else if ((line < 0 && !chooseLine(lines, tr("Which till product?"), &line)) ||
               !chooseTarget(till.lines.at(line), &row)) {
        return;
    }
    const QString key = TillMatches::keyOf(till.lines.at(line));
    if (row.isEmpty())
        matches.targets.remove(key);
    else
        matches.targets.insert(key, row);
    remember();
    refresh();
}

void TillPanel::automaticMatch()
{
    if (locked)
        return;
    QString row;
    const QList<int> lines = selectedLines(&row);
    if (!row.isEmpty())
        return;
    bool changed = false;
    for (const int i : lines)
        changed = matches.targets.remove(TillMatches::keyOf(till.lines.at(i))) > 0 || changed;
    if (!changed)
        return;
    remember();
    refresh();
}

void TillPanel::showMenu(QWidget *widget, const QPoint &position)
{
    if (locked)
        return;
    QString row;
    const QList<int> lines = selectedLines(&row);
    if (lines.isEmpty())
        return;
    bool corrected = false;
    for (const int i : lines)
        corrected =
            corrected || (row.isEmpty() && matches.targets.contains(TillMatches::keyOf(till.lines.at(i))));
    QMenu menu(this);
    connect(menu.addAction(tr("Change Match...")), &QAction::triggered, this, &TillPanel::matchSelected);
    QAction *automatic = menu.addAction(tr("Back to Automatic Match"));
    automatic->setEnabled(corrected);
    connect(automatic, &QAction::triggered, this, &TillPanel::automaticMatch);
    auto *scrolled = static_cast<QAbstractItemView *>(widget);
    menu.exec(scrolled->viewport()->mapToGlobal(position));
}

void TillPanel::remember()
{
    const QString path = localFilePath(QLatin1String(matchesFile));
    QString reason;
    if (matches.save(path, &reason)) {
        emit matchesKept();
        return;
    }
    qCWarning(lcTillPanel, "The till matches could not be kept: %s", qUtf8Printable(reason));
    Interaction::instance()->message(
        this, Interaction::Icon::Warning, tr("Change Match"),
        tr("The match applies now but could not be kept for the next counts: %1").arg(reason));
}
