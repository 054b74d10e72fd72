#include "deliveriesdialog.h"

#include "interaction.h"
#include "numberinput.h"
#include "shown.h"
#include "tablesetup.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {
QString shownQuantity(double value)
{
    return Shown::number(NumberInput::exactText(value));
}

QString shownMoment(const StoreEntry &entry)
{
    if (!entry.time.isValid())
        return Shown::date(entry.moment(), entry.date.toString(Qt::ISODate));
    return Shown::dateTime(entry.moment(), entry.moment().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QVariant alignedRight(int column, int from)
{
    return int((column >= from ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

// A column's title from the titles of a model's columns, in their order.
QVariant titleOf(const QStringList &titles, int section, Qt::Orientation orientation, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= titles.size())
        return QVariant();
    return titles.at(section);
}
} // namespace

// The records, newest first: what was entered last is what is checked and, when mistyped, deleted.
class LedgerModel : public QAbstractTableModel
{
public:
    enum Column { DateColumn, KindColumn, ItemColumn, EanColumn, QuantityColumn, CostColumn, SupplierColumn,
                  ColumnCount };

    LedgerModel(const QHash<QString, QString> &names, QObject *parent)
        : QAbstractTableModel(parent), names(names)
    {
    }

    void setLedger(const StoreLedger &shown)
    {
        beginResetModel();
        ledger = shown;
        endResetModel();
    }
    // Into ledger.entries.
    int entryOf(int row) const { return int(ledger.entries.size()) - 1 - row; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(ledger.entries.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return QVariant();
        if (role == Qt::TextAlignmentRole)
            return int((index.column() == QuantityColumn || index.column() == CostColumn ? Qt::AlignRight
                                                                                           : Qt::AlignLeft) |
                       Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return QVariant();
        const StoreEntry &entry = ledger.entries.at(entryOf(index.row()));
        switch (index.column()) {
        case DateColumn:
            return shownMoment(entry);
        case KindColumn:
            return entry.kind == StoreEntry::Delivery ? DeliveriesDialog::tr("Delivery")
                                                      : DeliveriesDialog::tr("Issue");
        case ItemColumn:
            return names.value(entry.key, entry.key);
        case EanColumn:
            return names.contains(entry.key) && names.value(entry.key) != entry.key ? entry.key : QString();
        case QuantityColumn:
            return shownQuantity(entry.quantity);
        case CostColumn:
            return entry.hasCost ? Shown::fixed(entry.cost, 2) : QString();
        case SupplierColumn:
            return entry.supplier;
        default:
            return QVariant();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return titleOf({DeliveriesDialog::tr("Date"), DeliveriesDialog::tr("Kind"), DeliveriesDialog::tr("Item"),
                        DeliveriesDialog::tr("EAN"), DeliveriesDialog::tr("Quantity\n[bottles]"),
                        DeliveriesDialog::tr("Cost"), DeliveriesDialog::tr("Supplier")},
                       section, orientation, role);
    }

private:
    const QHash<QString, QString> &names;
    StoreLedger ledger;
};

class StoreStockModel : public QAbstractTableModel
{
public:
    enum Column { ItemColumn, EanColumn, DeliveredColumn, IssuedColumn, InStoreColumn, CostColumn, ColumnCount };

    StoreStockModel(const QHash<QString, QString> &names, QObject *parent)
        : QAbstractTableModel(parent), names(names)
    {
    }

    void setLedger(const StoreLedger &ledger)
    {
        beginResetModel();
        kinds = ledger.stock();
        std::stable_sort(kinds.begin(), kinds.end(), [this](const StoreLedger::Stock &a, const StoreLedger::Stock &b) {
            return QString::localeAwareCompare(names.value(a.key, a.key), names.value(b.key, b.key)) < 0;
        });
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(kinds.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return QVariant();
        const StoreLedger::Stock &kind = kinds.at(index.row());
        if (role == Qt::TextAlignmentRole)
            return alignedRight(index.column(), DeliveredColumn);
        if (role == Qt::ToolTipRole && index.column() == InStoreColumn && kind.onHand() < 0)
            return DeliveriesDialog::tr("More issued than delivered: a delivery is not recorded.");
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (index.column()) {
        case ItemColumn:
            return names.value(kind.key, kind.key);
        case EanColumn:
            return names.contains(kind.key) && names.value(kind.key) != kind.key ? kind.key : QString();
        case DeliveredColumn:
            return shownQuantity(kind.delivered);
        case IssuedColumn:
            return shownQuantity(kind.issued);
        case InStoreColumn:
            return shownQuantity(kind.onHand());
        case CostColumn:
            return Shown::fixed(kind.cost, 2);
        default:
            return QVariant();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return titleOf({DeliveriesDialog::tr("Item"), DeliveriesDialog::tr("EAN"),
                        DeliveriesDialog::tr("Delivered\n[bottles]"), DeliveriesDialog::tr("Issued\n[bottles]"),
                        DeliveriesDialog::tr("In Store\n[bottles]"), DeliveriesDialog::tr("Cost of\nDeliveries")},
                       section, orientation, role);
    }

private:
    const QHash<QString, QString> &names;
    QList<StoreLedger::Stock> kinds;
};

DeliveriesDialog::DeliveriesDialog(const StoreLedger &ledger, const QString &path,
                                   const QHash<QString, QString> &names, QWidget *parent)
    : QDialog(parent), ledger(ledger), path(path), names(names)
{
    setObjectName(QStringLiteral("dlgDeliveries"));
    setWindowTitle(tr("Deliveries and Issues"));

    auto *explanation =
        new QLabel(tr("Record what arrived from a supplier and what went from the store to the bar (a bottle "
                      "sent back is an issue below zero). The issues made after the end of the last count up to "
                      "the end of this count fill its From Stock."),
                   this);
    explanation->setWordWrap(true);

    kind = new QComboBox(this);
    kind->setObjectName(QStringLiteral("cbStoreKind"));
    kind->addItem(tr("Issue to the bar"), int(StoreEntry::Issue));
    kind->addItem(tr("Delivery from a supplier"), int(StoreEntry::Delivery));
    // Now, to the minute: an issue made the morning after a late count must not fall into that count.
    const QDateTime now = QDateTime::currentDateTime();
    date = new QDateTimeEdit(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())), this);
    date->setObjectName(QStringLiteral("dteStoreDate"));
    date->setCalendarPopup(true);
    // As the sales page writes the end of a count, which the date is compared with.
    date->setDisplayFormat(QStringLiteral("dd.MM.yyyy HH:mm"));
    TableSetup::tabLeaves(date);
    item = new QComboBox(this);
    item->setObjectName(QStringLiteral("cbStoreItem"));
    item->setEditable(true);
    item->setInsertPolicy(QComboBox::NoInsert);
    QStringList keys = names.keys();
    std::sort(keys.begin(), keys.end(), [&names](const QString &a, const QString &b) {
        return QString::localeAwareCompare(names.value(a), names.value(b)) < 0;
    });
    for (const QString &key : qAsConst(keys))
        item->addItem(names.value(key) == key ? key : names.value(key) + QStringLiteral(" (") + key + QLatin1Char(')'),
                      key);
    item->setCurrentIndex(-1);
    // Any part of a name finds the bottle, not only its first letters: "Kristal" for "Vodka Premium Kristal".
    item->completer()->setFilterMode(Qt::MatchContains);
    item->completer()->setCompletionMode(QCompleter::PopupCompletion);
    quantity = new QLineEdit(this);
    quantity->setObjectName(QStringLiteral("leStoreQuantity"));
    cost = new QLineEdit(this);
    cost->setObjectName(QStringLiteral("leStoreCost"));
    supplier = new QLineEdit(this);
    supplier->setObjectName(QStringLiteral("leStoreSupplier"));
    auto *addButton = new QPushButton(tr("&Record"), this);
    addButton->setObjectName(QStringLiteral("pbStoreRecord"));
    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("lblStoreProblem"));
    problem->setWordWrap(true);
    problem->setStyleSheet(QStringLiteral("color: #b00000"));

    auto *form = new QFormLayout;
    form->addRow(tr("&Kind:"), kind);
    form->addRow(tr("&Date and time:"), date);
    form->addRow(tr("&Bottle or item:"), item);
    form->addRow(tr("&Quantity [bottles]:"), quantity);
    form->addRow(tr("C&ost of the delivery:"), cost);
    form->addRow(tr("S&upplier:"), supplier);
    form->addRow(QString(), addButton);
    form->addRow(QString(), problem);

    recordModel = new LedgerModel(this->names, this);
    records = new QTableView(this);
    records->setObjectName(QStringLiteral("tvStoreRecords"));
    records->setModel(recordModel);
    records->setSelectionBehavior(QAbstractItemView::SelectRows);
    records->setEditTriggers(QAbstractItemView::NoEditTriggers);
    records->setTabKeyNavigation(false);
    records->verticalHeader()->hide();
    records->horizontalHeader()->setStretchLastSection(true);
    auto *deleteButton = new QPushButton(tr("D&elete"), this);
    deleteButton->setObjectName(QStringLiteral("pbStoreDelete"));
    deleteButton->setToolTip(tr("Deletes the selected records (the Delete key does the same)."));
    auto *recordsLabel = new QLabel(tr("Reco&rds:"), this);
    recordsLabel->setBuddy(records);

    stockModel = new StoreStockModel(this->names, this);
    stock = new QTableView(this);
    stock->setObjectName(QStringLiteral("tvStoreStock"));
    stock->setModel(stockModel);
    stock->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stock->setTabKeyNavigation(false);
    stock->verticalHeader()->hide();
    auto *stockLabel = new QLabel(tr("&Store stock (delivered less issued):"), this);
    stockLabel->setBuddy(stock);

    kind->setAccessibleName(tr("Kind of record"));
    date->setAccessibleName(tr("Date and time"));
    item->setAccessibleName(tr("Bottle or item"));
    item->setAccessibleDescription(tr("A bottle of the catalogue, or an EAN or the name of an appended item."));
    quantity->setAccessibleName(tr("Quantity in bottles"));
    cost->setAccessibleName(tr("Cost of the delivery"));
    supplier->setAccessibleName(tr("Supplier"));
    records->setAccessibleName(tr("Deliveries and issues"));
    records->setAccessibleDescription(tr("Every recorded delivery and issue, the newest first."));
    stock->setAccessibleName(tr("Store stock"));
    stock->setAccessibleDescription(tr("Per kind the bottles delivered, issued and left in the store."));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *left = new QVBoxLayout;
    left->addWidget(explanation);
    left->addLayout(form);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(recordsLabel);
    right->addWidget(records, 3);
    auto *deleteRow = new QHBoxLayout;
    deleteRow->addStretch();
    deleteRow->addWidget(deleteButton);
    right->addLayout(deleteRow);
    right->addWidget(stockLabel);
    right->addWidget(stock, 2);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    connect(kind, qOverload<int>(&QComboBox::currentIndexChanged), this, &DeliveriesDialog::kindChosen);
    connect(addButton, &QPushButton::clicked, this, &DeliveriesDialog::add);
    connect(deleteButton, &QPushButton::clicked, this, &DeliveriesDialog::deleteSelected);
    auto *deleteKey = new QShortcut(QKeySequence::Delete, records);
    deleteKey->setContext(Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &DeliveriesDialog::deleteSelected);
    // Enter goes on to the next field, and on the last one records: a pile of delivery notes is typed
    // without the mouse.
    connect(item->lineEdit(), &QLineEdit::returnPressed, quantity, [this] { quantity->setFocus(); });
    connect(quantity, &QLineEdit::returnPressed, this, [this] {
        if (cost->isEnabled())
            cost->setFocus();
        else
            add();
    });
    connect(cost, &QLineEdit::returnPressed, supplier, [this] { supplier->setFocus(); });
    connect(supplier, &QLineEdit::returnPressed, this, &DeliveriesDialog::add);

    // Enter is the form's own (above): a default button would record a second, empty entry after it.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);

    recordModel->setLedger(ledger);
    stockModel->setLedger(ledger);
    records->resizeColumnsToContents();
    stock->resizeColumnsToContents();
    kindChosen();
    item->setFocus();
    resize(1200, 600);
}

void DeliveriesDialog::kindChosen()
{
    const bool delivery = kind->currentData().toInt() == StoreEntry::Delivery;
    cost->setEnabled(delivery);
    supplier->setEnabled(delivery);
    if (!delivery) {
        cost->clear();
        supplier->clear();
    }
}

QString DeliveriesDialog::keyTyped(QString *why) const
{
    const QString text = item->currentText().trimmed();
    // A name chosen from the list stands for its EAN; a part of one ("Kristal") for the one bottle it names.
    // Anything else is an EAN or the name of an appended item, as typed.
    int found = item->findText(text, Qt::MatchFixedString);
    if (found < 0 && !text.isEmpty()) {
        const int first = item->findText(text, Qt::MatchContains);
        if (first >= 0) {
            QStringList several;
            for (int i = first; i < item->count(); ++i)
                if (item->itemText(i).contains(text, Qt::CaseInsensitive))
                    several << item->itemText(i);
            if (several.size() > 1) {
                *why = tr("\"%1\" is in several names: %2. Choose one.")
                           .arg(text, QStringList(several.mid(0, 4)).join(QStringLiteral(", ")));
                return QString();
            }
            found = first;
        }
    }
    if (found >= 0)
        return item->itemData(found).toString();
    return text;
}

void DeliveriesDialog::add()
{
    StoreEntry entry;
    entry.kind = StoreEntry::Kind(kind->currentData().toInt());
    entry.date = date->date();
    entry.time = date->time();
    QString why;
    entry.key = keyTyped(&why);
    const auto refuse = [this](QWidget *field, const QString &text) {
        problem->setText(text);
        field->setFocus();
    };
    if (entry.key.isEmpty())
        return refuse(item, why.isEmpty() ? tr("Choose a bottle or type an EAN or an item name.") : why);
    const bool read = entry.kind == StoreEntry::Issue
                          ? NumberInput::parseSigned(quantity->text(), &entry.quantity, &why)
                          : NumberInput::parse(quantity->text(), &entry.quantity, &why);
    if (!read)
        return refuse(quantity, tr("Quantity: %1").arg(why));
    if (entry.kind == StoreEntry::Delivery && !cost->text().trimmed().isEmpty()) {
        if (!NumberInput::parse(cost->text(), &entry.cost, &why))
            return refuse(cost, tr("Cost: %1").arg(why));
        entry.hasCost = true;
    }
    entry.supplier = supplier->text();
    StoreLedger next = ledger;
    if (!next.add(entry, &why))
        return refuse(quantity, why.left(1).toUpper() + why.mid(1));
    if (!write(next))
        return;
    problem->clear();
    quantity->clear();
    cost->clear();
    item->setCurrentIndex(-1);
    item->clearEditText();
    item->setFocus();
}

void DeliveriesDialog::deleteSelected()
{
    QList<int> entries;
    const QModelIndexList rows = records->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        entries << recordModel->entryOf(row.row());
    if (entries.isEmpty()) {
        problem->setText(tr("Select the records to delete first."));
        return;
    }
    if (Interaction::instance()->message(this, Interaction::Icon::Question, tr("Delete Records"),
                                         tr("Delete the selected records (%1)?").arg(entries.size()),
                                         Interaction::Yes | Interaction::No) != Interaction::Yes)
        return;
    std::sort(entries.begin(), entries.end(), std::greater<int>());
    StoreLedger next = ledger;
    for (int entry : qAsConst(entries))
        next.entries.removeAt(entry);
    if (write(next))
        problem->clear();
}

bool DeliveriesDialog::write(const StoreLedger &next)
{
    QString reason;
    if (!next.save(path, &reason)) {
        Interaction::instance()->message(this, Interaction::Icon::Critical, tr("Deliveries and Issues"),
                                         tr("The record could not be saved: %1").arg(reason));
        return false;
    }
    ledger = next;
    wasChanged = true;
    recordModel->setLedger(ledger);
    stockModel->setLedger(ledger);
    records->resizeColumnsToContents();
    stock->resizeColumnsToContents();
    return true;
}
