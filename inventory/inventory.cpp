#include "inventory.h"

#include "csvfield.h"
#include "inventorybottlelist.h"
#include "numberinput.h"
#include "settings.h"
#include "shown.h"

#include <QColor>
#include <QHash>
#include <QLocale>
#include <QLoggingCategory>
#include <QTextStream>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcInventory, "inventory")

namespace {

// Two decimals always: a column whose rows switch between two and three decimals cannot be read down.
QString litres(qint64 millilitres)
{
    return QString::number(double(millilitres) / 1000.0, 'f', 2);
}

// Litres to the millilitre, so that an editor confirmed unchanged gives back what was stored, and a sell
// unit of 0.025 l is seen as what the cash is divided by.
QString exactLitres(qint64 millilitres)
{
    QString text = QString::number(double(millilitres) / 1000.0, 'f', 3);
    if (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text;
}

QString money(double amount)
{
    return QString::number(amount, 'f', 2);
}

// Far beyond any bar's stock, and small enough that adding up the quantities of a row cannot overflow.
// Larger input is as unusable as text.
constexpr qint64 maxMillilitres = 1000000000000000;

// Litres typed by the user into millilitres, truncated toward zero; below zero only where `signedInput`.
bool readLitres(const QString &text, qint64 *millilitres, QString *reason, bool signedInput = false)
{
    double number = 0;
    if (!(signedInput ? NumberInput::parseSigned(text, &number, reason)
                      : NumberInput::parse(text, &number, reason)))
        return false;
    if (std::fabs(number) * 1000.0 >= double(maxMillilitres)) {
        *reason = Inventory::tr("\"%1\" is more than any bar holds.").arg(text);
        return false;
    }
    *millilitres = millilitresFromLitres(number);
    return true;
}

const QColor doubtColour(255, 214, 153);

// The column whose number a doubt is about.
int doubtedKinds(int column)
{
    switch (column) {
    case Inventory::MeasuredColumn:
        return Doubt::AboveFull | Doubt::BelowEmpty | Doubt::AboveVolume | Doubt::WeighedAgain;
    case Inventory::FinalColumn:
        return Doubt::NotWeighed;
    case Inventory::SoldColumn:
        return Doubt::SoldNegative;
    default:
        return 0;
    }
}

} // namespace

qint64 millilitresFromLitres(double litres)
{
    const double millilitres = litres * 1000.0;
    const double whole = std::round(millilitres);
    // Most decimal fractions have no exact binary form: 2.01 × 1000 comes out a hair under 2010, and
    // truncating that would lose a millilitre the user typed. Only a real fraction of a millilitre is cut.
    if (std::fabs(millilitres - whole) <= std::fabs(millilitres) * 1e-12)
        return qint64(whole);
    return qint64(std::trunc(millilitres));
}

Inventory::Inventory(QObject *parent) : PrintableTableModel(parent) {}

int Inventory::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int Inventory::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString Inventory::cellText(const SalesRow &row, int column) const
{
    const auto inUnit = [&row](qint64 value, int unit) {
        if (unit != Pieces)
            return litres(value);
        if (row.bottleVolume == 0)
            return tr("Err");
        return QString::number(double(value) / double(row.bottleVolume), 'f', 3);
    };
    switch (column) {
    case NameColumn:
        return row.name;
    case SellUnitColumn:
        return exactLitres(row.sellUnit);
    case PriceColumn:
        return money(row.pricePerUnit);
    case InitialColumn:
        return litres(row.initialQuantity);
    case FromStockColumn:
        return inUnit(row.fromStock, stockUnit);
    case MeasuredColumn:
        return litres(row.measuredValue);
    case BottlesColumn:
        return inUnit(row.residualBottlesVolume, finalUnit);
    case FinalColumn:
        return litres(row.finalQuantity);
    case SoldColumn:
        return litres(row.soldQuantity);
    case CashInColumn:
        return money(row.totalAmount);
    default:
        return QStringLiteral("---");
    }
}

QString Inventory::editText(const SalesRow &row, int column) const
{
    const auto inUnit = [&row, column, this](qint64 value, int unit) {
        if (unit == Pieces && row.bottleVolume > 0 && value % row.bottleVolume == 0)
            return QString::number(value / row.bottleVolume);
        return unit == Pieces ? cellText(row, column) : exactLitres(value);
    };
    switch (column) {
    case SellUnitColumn:
        return exactLitres(row.sellUnit);
    case PriceColumn:
        return NumberInput::exactText(row.pricePerUnit);
    case InitialColumn:
        return exactLitres(row.initialQuantity);
    case FromStockColumn:
        return inUnit(row.fromStock, stockUnit);
    case MeasuredColumn:
        return exactLitres(row.measuredValue);
    case BottlesColumn:
        return inUnit(row.residualBottlesVolume, finalUnit);
    default:
        return cellText(row, column);
    }
}

QVariant Inventory::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rows.size())
        return QVariant();
    const SalesRow &row = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == NameColumn ? row.name : Shown::number(cellText(row, index.column()));
    case Qt::EditRole:
        return editText(row, index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == NameColumn)
            return QVariant();
        return int(Qt::AlignCenter);
    case DoubtRole:
        return doubtKinds(row.doubts);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: { // the doubt the colour shows, spoken too
        const QString texts = doubtTexts(row.doubts, doubtedKinds(index.column()));
        return texts.isEmpty() ? QVariant() : texts;
    }
    case Qt::BackgroundRole:
        if (doubtKinds(row.doubts) & doubtedKinds(index.column()))
            return doubtColour;
        if (row.ean.startsWith(QLatin1Char('C')))
            return QColor(232, 232, 232);
        return QVariant();
    default:
        return QVariant();
    }
}

bool Inventory::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() < 0 || index.row() >= rows.size())
        return false;
    const QString text = value.toString();
    // Tab or Enter on an editor nobody typed into hands back the editor's own text: that is no edit.
    if (text == data(index, Qt::EditRole).toString())
        return true;
    SalesRow &row = rows[index.row()];
    QString reason;
    const auto readQuantity = [&row, &text, &reason](int unit, qint64 *millilitres, bool signedInput) {
        if (unit != Pieces)
            return readLitres(text, millilitres, &reason, signedInput);
        double pieces = 0;
        if (!(signedInput ? NumberInput::parseSigned(text, &pieces, &reason)
                          : NumberInput::parse(text, &pieces, &reason)))
            return false;
        if (row.bottleVolume <= 0) {
            reason = tr("The bottle volume is unknown, so pieces cannot be turned into litres.");
            return false;
        }
        if (pieces != std::floor(pieces)) {
            reason = tr("\"%1\": bottles are counted in whole pieces; switch the column to litres for a part "
                        "of a bottle.")
                         .arg(text);
            return false;
        }
        if (std::fabs(pieces) > double(maxMillilitres / row.bottleVolume)) {
            reason = tr("\"%1\" is more than any bar holds.").arg(text);
            return false;
        }
        *millilitres = qint64(pieces) * row.bottleVolume;
        return true;
    };
    bool accepted = true;
    switch (index.column()) {
    case NameColumn:
        row.name = text;
        break;
    case SellUnitColumn: {
        // A unit of 0 is how a row is kept out of the takings (its cash-in is 0); a unit typed above 0 that
        // truncates to 0 ml would do the same unasked.
        qint64 unit = 0;
        double typed = 0;
        accepted = readLitres(text, &unit, &reason);
        if (accepted && unit == 0 && NumberInput::parse(text, &typed, nullptr) && typed != 0) {
            reason = tr("A sell unit of less than a millilitre cannot be sold.");
            accepted = false;
        } else if (accepted) {
            row.sellUnit = unit;
        }
        break;
    }
    case PriceColumn:
        accepted = NumberInput::parse(text, &row.pricePerUnit, &reason);
        break;
    case InitialColumn:
        accepted = readLitres(text, &row.initialQuantity, &reason);
        break;
    case FromStockColumn:
        // Below zero: bottles sent back to the store.
        accepted = readQuantity(stockUnit, &row.fromStock, true);
        break;
    case MeasuredColumn:
        accepted = readLitres(text, &row.measuredValue, &reason);
        break;
    case BottlesColumn:
        accepted = readQuantity(finalUnit, &row.residualBottlesVolume, false);
        break;
    default:
        return true;
    }
    if (!accepted) {
        qCDebug(lcInventory) << "refused" << text << "in column" << index.column();
        emit inputRefused(index, reason);
        // The cell keeps its value; callers have always been told true, and the view ignores the result.
        return true;
    }
    modified = true;
    calculate();
    return true;
}

QVariant Inventory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    const QString l = tr("\n[L]");
    const auto unitSuffix = [&l](int unit) { return unit == Pieces ? tr("\n[Pieces]") : l; };
    if (role == Qt::DisplayRole) {
        switch (section) {
        case NameColumn:
            return tr("Loaded Items");
        case SellUnitColumn:
            return tr("Sell\nUnit") + l;
        case PriceColumn:
            return tr("Price per\nUnit") + Settings::currencyUnit(currency);
        case InitialColumn:
            return tr("Initial\nQuantity") + l;
        case FromStockColumn:
            return tr("From Stock") + unitSuffix(stockUnit);
        case MeasuredColumn:
            return tr("Measured\nQuantity") + l;
        case BottlesColumn:
            return tr("Bottles\nQuantity") + unitSuffix(finalUnit);
        case FinalColumn:
            return tr("Final\nQuantity") + l;
        case SoldColumn:
            return tr("Sold\nQuantity") + l;
        case CashInColumn:
            return tr("Cash In") + Settings::currencyUnit(currency);
        default:
            return QStringLiteral("---");
        }
    }
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case SellUnitColumn:
            return tr("The volume can be edited; it is 0.04 l unless changed.");
        case PriceColumn:
            return tr(
                "Set it at the first count only: the prices are read from the last saved table. Click to "
                "choose CZK or EUR.");
        case InitialColumn:
            return tr("Reads the final stock of the last saved table as the initial stock for working out "
                      "the sales.");
        case FromStockColumn:
            return tr("The quantities taken from stock to the bar can be added per item. Click to choose "
                      "bottles or litres as the unit.");
        case MeasuredColumn:
            return tr("Shows the weighings downloaded from Quarmel.");
        case BottlesColumn:
            return tr(
                "The final stock of the bar that Quarmel did not weigh can be added. Click to choose bottles "
                "or litres as the unit.");
        case FinalColumn:
            return tr("Shows the sum of the weighed stock and the whole bottles.");
        case SoldColumn:
            return tr("Shows the initial stock plus the stock taken, less the final stock.");
        case CashInColumn:
            return tr("Shows the sales in the chosen currency.");
        default:
            return QVariant();
        }
    }
    return QVariant();
}

bool Inventory::removeRows(int row, int count, const QModelIndex &parent)
{
    removeListRows(rows, row, count, parent);
    calculate();
    modified = true;
    return true;
}

Qt::ItemFlags Inventory::flags(const QModelIndex &index) const
{
    const int column = index.column();
    if (column >= NameColumn && column <= BottlesColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    if (column >= FinalColumn && column <= CashInColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return Qt::NoItemFlags;
}

void Inventory::loadFromOverview(const QList<OverviewRow> &overview)
{
    beginResetModel();
    rows.clear();
    carried = false;
    left.clear();
    QHash<QString, int> rowOfEan;
    const auto takeDoubts = [](SalesRow &row, const OverviewRow &bottle) {
        if (bottle.weight > 0)
            ++row.weighings;
        for (const Doubt &doubt : bottle.doubts) {
            // Every weighing of the EAN says it was weighed again; the row says it once.
            if (doubt.kind != Doubt::WeighedAgain || !(doubtKinds(row.doubts) & Doubt::WeighedAgain))
                row.doubts.append(doubt);
        }
    };
    for (const OverviewRow &bottle : overview) {
        // Bounded, so that no number of weighings can run the sum past the range of qint64.
        const qint64 residue = qBound<qint64>(0, bottle.residue, maxMillilitres);
        const auto found = rowOfEan.constFind(bottle.ean);
        if (found != rowOfEan.constEnd()) {
            qint64 &sum = rows[found.value()].measuredValue;
            sum = qMin(sum + residue, maxMillilitres);
            takeDoubts(rows[found.value()], bottle);
            continue;
        }
        SalesRow row;
        row.ean = bottle.ean;
        row.name = bottle.name;
        row.measuredValue = residue;
        row.bottleVolume = qint64(bottle.volume);
        takeDoubts(row, bottle);
        if (!row.ean.isEmpty())
            rowOfEan.insert(row.ean, rows.size());
        rows.append(row);
    }
    endResetModel();
}

void Inventory::carryOver(const QList<SalesRow> &older)
{
    left.clear();
    // The first row of each EAN, as findRow would give it, without a search per carried row.
    QHash<QString, int> rowOfEan;
    rowOfEan.reserve(rows.size());
    for (int i = rows.size() - 1; i >= 0; --i) {
        if (!rows.at(i).ean.isEmpty())
            rowOfEan.insert(rows.at(i).ean, i);
    }
    for (const SalesRow &old : older) {
        const auto found = rowOfEan.constFind(old.ean);
        if (found == rowOfEan.constEnd()) {
            if (old.finalQuantity != 0)
                left.append(old);
            continue;
        }
        SalesRow *current = &rows[found.value()];
        current->sellUnit = old.sellUnit;
        current->pricePerUnit = old.pricePerUnit;
        current->initialQuantity = old.finalQuantity;
        modified = true;
    }
    calculate();
}

SalesRow *Inventory::findRow(const QString &ean)
{
    if (ean.isEmpty())
        return nullptr;
    for (SalesRow &row : rows) {
        if (row.ean == ean)
            return &row;
    }
    return nullptr;
}

void Inventory::calculate()
{
    total = 0;
    for (SalesRow &row : rows) {
        row.finalQuantity = row.measuredValue + row.residualBottlesVolume;
        row.soldQuantity = row.initialQuantity + row.fromStock - row.finalQuantity;
        if (row.sellUnit != 0)
            row.totalAmount = (double(row.soldQuantity) / double(row.sellUnit)) * row.pricePerUnit;
        else
            row.totalAmount = 0;
        total += row.totalAmount;
        doubtSums(row);
    }
    if (!rows.isEmpty())
        emit dataChanged(index(0, 0), index(rows.size() - 1, ColumnCount - 1));
    emit calculated();
}

void Inventory::doubtSums(SalesRow &row) const
{
    const auto sums = [](const Doubt &doubt) {
        return doubt.kind == Doubt::NotWeighed || doubt.kind == Doubt::SoldNegative;
    };
    row.doubts.erase(std::remove_if(row.doubts.begin(), row.doubts.end(), sums), row.doubts.end());
    const qint64 held = row.initialQuantity + row.fromStock;
    if (row.weighings == 0 && row.finalQuantity == 0 && held > 0) {
        row.doubts.append({Doubt::NotWeighed, tr("Not weighed in this count: all %1 l count as sold.")
                                                  .arg(litres(held))});
    } else if (carried && row.soldQuantity < 0) {
        row.doubts.append({Doubt::SoldNegative, tr("%1 l more left than there was plus what was issued: "
                                                   "a missed issue from stock, or a weighing to check.")
                                                    .arg(litres(-row.soldQuantity))});
    }
}

void Inventory::startFrom(const QList<SalesRow> &older, quint32 number, const QDateTime &start)
{
    counter = number;
    timeStart = start;
    carried = true;
    // The carried numbers are unsaved in this table, and typed entries stay unsaved: the caller that opens
    // a fresh count clears the mark itself.
    carryOver(older);
}

void Inventory::showSaved(const QList<SalesRow> &saved)
{
    beginResetModel();
    rows = saved;
    carried = true;
    total = 0;
    for (const SalesRow &row : qAsConst(rows))
        total += row.totalAmount;
    endResetModel();
    modified = false;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    emit calculated();
}

void Inventory::selectCZK()
{
    Settings::setCurrency(Settings::CZK);
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

void Inventory::selectEUR()
{
    Settings::setCurrency(Settings::EUR);
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

void Inventory::selectLitresStock()
{
    stockUnit = Litres;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

void Inventory::selectLitresFinal()
{
    finalUnit = Litres;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

void Inventory::selectPiecesStock()
{
    stockUnit = Pieces;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

void Inventory::selectPiecesFinal()
{
    finalUnit = Pieces;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    calculate();
}

bool Inventory::saveToCSV(QTextStream &out)
{
    for (int column = 0; column < ColumnCount; ++column) {
        QString header = headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        header.replace(QLatin1Char('\n'), QLatin1Char(' '));
        out << csvField(header) << ';';
    }
    out << '\n';
    for (const SalesRow &row : qAsConst(rows)) {
        // Only the name is text: "-0.35" in a number column is a number.
        out << csvText(row.name) << ';';
        for (int column = NameColumn + 1; column < ColumnCount; ++column)
            out << csvField(cellText(row, column)) << ';';
        out << '\n';
    }
    return true;
}
