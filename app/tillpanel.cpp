#include "tillpanel.h"

#include "interaction.h"
#include "inventory.h"
#include "iteminventory.h"
#include "settings.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLoggingCategory>
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
    auto *matchButton = new QPushButton(tr("Match Till Product"), this);
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
    amount->setReadOnly(readOnly);
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setVisible(!readOnly);
    // The lists still show what is not matched; activating an entry would ask for a match to remember.
    for (QListWidget *list : findChildren<QListWidget *>())
        list->blockSignals(readOnly);
}

void TillPanel::refresh()
{
    model.setComparison(TillComparison::compare(inventory, items, till, matches));
    const TillComparison &shown = model.comparison();
    summary->setText(till.isEmpty() ? tr("No till figures yet") : model.summary());
    details->setVisible(!till.isEmpty());
    unmatchedTill->clear();
    for (const TillLine &line : shown.unmatchedTill)
        unmatchedTill->addItem(line.code.isEmpty() ? line.name : line.code + QLatin1Char(' ') + line.name);
    unmatchedRows->clear();
    unmatchedRows->addItems(shown.unmatchedRows);
}

void TillPanel::amountEdited()
{
    const QString text = amount->text().trimmed();
    double value = 0;
    const bool typed = !text.isEmpty();
    if (typed && !TillSales::parseNumber(text, &value)) {
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

void TillPanel::matchSelected()
{
    const int selected = unmatchedTill->currentRow();
    const QList<TillLine> &lines = model.comparison().unmatchedTill;
    if (selected < 0 || selected >= lines.size()) {
        Interaction::instance()->message(this, Interaction::Icon::Information, tr("Match Till Product"),
                                         tr("Select a till product that is not matched."));
        return;
    }
    const TillLine line = lines.at(selected);
    QString answer;
    if (!Interaction::instance()->getText(this, tr("Match Till Product"),
                                          tr("EAN or name of the row for \"%1\" (\"-\" never matches it):")
                                              .arg(line.name.isEmpty() ? line.code : line.name),
                                          &answer))
        return;
    answer = answer.trimmed();
    QString target;
    if (answer == TillMatches::noTarget())
        target = answer;
    for (int i = 0; target.isEmpty() && i < inventory.rows.size(); ++i) {
        const SalesRow &row = inventory.rows.at(i);
        if (row.ean == answer || TillSales::folded(row.name) == TillSales::folded(answer))
            target = TillMatches::bottleTarget(row.ean);
    }
    for (int i = 0; target.isEmpty() && i < items.rows.size(); ++i) {
        if (TillSales::folded(items.rows.at(i).name) == TillSales::folded(answer))
            target = TillMatches::itemTarget(items.rows.at(i).name);
    }
    if (target.isEmpty()) {
        Interaction::instance()->message(this, Interaction::Icon::Warning, tr("Match Till Product"),
                                         tr("No row of the table has the EAN or name \"%1\".").arg(answer));
        return;
    }
    matches.targets.insert(TillMatches::keyOf(line), target);
    remember();
    refresh();
}

void TillPanel::remember()
{
    const QString path = localFilePath(QLatin1String(matchesFile));
    QString reason;
    if (matches.save(path, &reason))
        return;
    qCWarning(lcTillPanel, "The till matches could not be kept: %s", qUtf8Printable(reason));
    Interaction::instance()->message(
        this, Interaction::Icon::Warning, tr("Match Till Product"),
        tr("The match applies now but could not be kept for the next counts: %1").arg(reason));
}
