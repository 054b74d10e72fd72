#include "tillpanel.h"

#include "interaction.h"
#include "inventory.h"
#include "iteminventory.h"
#include "settings.h"

#include <QAction>
#include <QDir>
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
constexpr char matchesFile[] = "tillMatches.txt";
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
    top->addWidget(matchButton);
    top->addStretch();
    top->addWidget(summary);

    view = new QTableView;
    view->setObjectName(QStringLiteral("tvTillVariance"));
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setSectionResizeMode(TillVarianceModel::NameColumn, QHeaderView::Stretch);
    view->verticalHeader()->hide();
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
    setMaximumHeight(240);

    connect(amount, &QLineEdit::editingFinished, this, &TillPanel::amountEdited);
    connect(importButton, &QPushButton::clicked, this, &TillPanel::importExport);
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
    amount->clear();
    refresh();
}

void TillPanel::setFigures(const TillFigures &figures)
{
    till = figures;
    amount->setText(till.hasAmount ? QString::number(till.amount, 'f', 2) : QString());
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
    details->setVisible(!till.lines.isEmpty());
    // A typed amount alone has no till products to match.
    findChild<QPushButton *>(QStringLiteral("pbMatchTill"))->setEnabled(!till.lines.isEmpty());
    unmatchedTill->clear();
    for (const TillLine &line : shown.unmatchedTill)
        unmatchedTill->addItem(lineLabel(line));
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
        this, tr("Import Till Export"), rememberedFolder(QLatin1String(RememberedFolder::csvPath)),
        tr("Till exports (*.csv *.txt)"), false, &folder);
    if (fileName.isEmpty())
        return;
    TillFigures read;
    QStringList rejected;
    QString reason;
    if (!TillSales::read(fileName, &read, &rejected, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical,
                                         tr("Unable to import till export"), reason);
        return;
    }
    till.lines = read.lines;
    till.hasQuantities = read.hasQuantities;
    inventory.modified = true;
    refresh();
    if (rejected.isEmpty())
        return;
    qCWarning(lcTillPanel, "%d lines of %s not understood", int(rejected.size()), qUtf8Printable(fileName));
    QStringList shown = rejected.mid(0, shownRejectedLines);
    if (rejected.size() > shownRejectedLines)
        shown << tr("... and %1 more").arg(rejected.size() - shownRejectedLines);
    Interaction::instance()->message(
        this, Interaction::Icon::Warning, tr("Till export"),
        tr("These lines were not understood and are not counted:\n%1").arg(shown.join(QLatin1Char('\n'))));
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
            if (shown.lineTargets.at(i) == target)
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

bool TillPanel::chooseTarget(const TillLine &line, QString *target)
{
    // What the matching finds by code and name alone, so the user sees what undoing a correction gives.
    TillFigures alone;
    alone.lines = {line};
    TillMatches automatic = matches;
    automatic.targets.remove(TillMatches::keyOf(line));
    const QString found = TillComparison::compare(inventory, items, alone, automatic).lineTargets.value(0);

    QStringList targets{QString(), TillMatches::noTarget()};
    QStringList choices{tr("Automatic: %1").arg(targetLabel(found)), tr("No row: never match it")};
    for (const SalesRow &row : inventory.rows)
        targets << TillMatches::bottleTarget(row.ean);
    for (const AppendedItem &item : items.rows) {
        if (!item.name.trimmed().isEmpty())
            targets << TillMatches::itemTarget(item.name);
    }
    targets.removeDuplicates();
    for (int i = 2; i < targets.size(); ++i)
        choices << targetLabel(targets.at(i));
    int chosen = int(targets.indexOf(matches.targets.value(TillMatches::keyOf(line))));
    if (!Interaction::instance()->choose(
            this, tr("Change Match"),
            tr("Row of the table for the till product \"%1\":").arg(lineLabel(line)), choices, &chosen) ||
        chosen < 0 || chosen >= targets.size())
        return false;
    *target = targets.at(chosen);
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
    if (matches.save(path, &reason))
        return;
    qCWarning(lcTillPanel, "The till matches could not be kept: %s", qUtf8Printable(reason));
    Interaction::instance()->message(
        this, Interaction::Icon::Warning, tr("Change Match"),
        tr("The match applies now but could not be kept for the next counts: %1").arg(reason));
}
