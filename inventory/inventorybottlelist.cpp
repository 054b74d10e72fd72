#include "inventorybottlelist.h"

#include "csvfield.h"
#include "shown.h"
#include "database.h"
#include "interaction.h"
#include "savefile.h"
#include "inventorybottle.h"
#include "settings.h"
#include "weighingsfile.h"

#include <QBuffer>
#include <QCollator>
#include <QColor>
#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QTextStream>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <limits>

Q_LOGGING_CATEGORY(lcInventoryBottleList, "inventorybottlelist")

namespace {
// ml; the largest residue that a catalogue within its bounds and a 16-bit weight can give (a net 131070 g
// over a 1 g span of a 65535 ml bottle) stays below this.
constexpr double maxResidue = double(1ll << 34);

// The station sends the numeric part of an EAN, so the zeros in front of a catalogue EAN are lost on the way.
QString withoutLeadingZeros(const QString &ean)
{
    int zeros = 0;
    while (zeros < ean.size() && ean.at(zeros) == QLatin1Char('0'))
        ++zeros;
    return ean.mid(zeros);
}

// Text that is not a number weighs nothing, but digits past 64 bits are a number far out of range.
quint64 weightOf(const QString &text)
{
    bool ok = false;
    const quint64 weight = text.toULongLong(&ok);
    if (ok)
        return weight;
    const bool digits = !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return digits ? std::numeric_limits<quint64>::max() : 0;
}

// Light enough to read the number through, unlike any colour the tables use otherwise.
const QColor doubtColour(255, 214, 153);

QVariant alignment(int column)
{
    if (column == InventoryBottleList::NameColumn)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return int(Qt::AlignCenter);
}
} // namespace

int doubtKinds(const Doubts &doubts)
{
    int kinds = 0;
    for (const Doubt &doubt : doubts)
        kinds |= doubt.kind;
    return kinds;
}

QString doubtTexts(const Doubts &doubts, int kinds)
{
    QStringList texts;
    for (const Doubt &doubt : doubts) {
        if (doubt.kind & kinds)
            texts.append(doubt.text);
    }
    return texts.join(QLatin1Char('\n'));
}

InventoryBottleList::InventoryBottleList(QObject *parent) : PrintableTableModel(parent) {}

QString InventoryBottleList::weighedText(const QString &name, const QString &ean, quint64 weight)
{
    return tr("Bottle: %1, weighed %2 g.").arg(name.isEmpty() ? ean : name).arg(weight);
}

void InventoryBottleList::warn(const QString &title, const QString &text)
{
    pendingWarnings.append({title, text});
    if (!building)
        flushWarnings();
}

// Shown only once the model is whole again: a message box runs an event loop, and views must not paint a
// model in the middle of a reset.
void InventoryBottleList::flushWarnings()
{
    const QList<QPair<QString, QString>> warnings = pendingWarnings;
    pendingWarnings.clear();
    for (const auto &warning : warnings) {
        Interaction::instance()->message(nullptr, Interaction::Icon::Warning, warning.first, warning.second,
                                         Interaction::Ok);
    }
}

void InventoryBottleList::addBottle(Bottle &bottle, const InventoryBottle *measurement)
{
    if (!measurement && !bottle.useInInventory)
        return;

    OverviewRow row;
    row.ean = bottle.ean;
    row.name = bottle.fullName;
    row.volume = bottle.volume;
    row.weight = measurement ? measurement->weight : 0;

    // A warning the user can act on says which bottle and what it weighed.
    const QString weighed =
        measurement ? QLatin1Char('\n') + weighedText(bottle.fullName, bottle.ean, measurement->weight)
                    : QString();
    const qint64 span = qint64(bottle.fullWeight) - qint64(bottle.emptyWeight);
    if (span <= 0) {
        const QString text =
            tr("Empty bottle weight must be less then Full bottle weight.\nItem: '%1'").arg(bottle.fullName);
        warn(tr("Error in database"), text + weighed);
    } else if (measurement) {
        bottle.useInInventory = true;
        const qint64 tare = qint64(bottle.emptyWeight) + qint64(bottle.weightCorrection);
        const qint64 net = qint64(measurement->weight) - tare;
        const qint64 full = qint64(bottle.fullWeight) + qint64(bottle.weightCorrection);
        if (net < 0) {
            warn(tr("Error"), tr("Bottle weight (%1 g) is lower than empty weight (%2 g) !")
                                      .arg(measurement->weight)
                                      .arg(tare) +
                                  weighed);
            row.doubts.append({Doubt::BelowEmpty, tr("Weighed %1 g, less than the empty bottle (%2 g): "
                                                     "counted as empty.")
                                                      .arg(measurement->weight)
                                                      .arg(tare)});
        } else {
            const double residue = std::floor(double(net) / double(span) * double(bottle.volume) + 0.5);
            // A catalogue within its bounds and a weight the station can send stay far below this; anything
            // beyond (values set around the catalogue's checks) gives no residue rather than one that
            // overflows the sums of the sales table.
            row.residue = residue <= maxResidue ? qint64(residue) : 0;
        }
        row.fullWeight = full;
        row.weightChecked = true;
        checkFullWeight(row);
    }

    if (building) {
        rows.append(row);
        return;
    }
    beginInsertRows(QModelIndex(), rows.size(), rows.size());
    rows.append(row);
    endInsertRows();
    markRepeatedWeighings();
    flushWarnings();
}

void InventoryBottleList::checkFullWeight(OverviewRow &row) const
{
    if (!row.weightChecked)
        return;
    // A residue above the volume always means a weight above full. Within the tolerance that is the spread
    // of repeated weighings of one (unopened) bottle, nothing to point out; past it, more likely two
    // bottles on the scale or a wrong catalogue entry than a generously filled bottle.
    const qint64 above = qint64(row.weight) - row.fullWeight;
    if (above > fullWeightTolerance) {
        row.doubts.append({Doubt::AboveFull, tr("Weighed %1 g, %2 g more than the full bottle (%3 g): two "
                                                "bottles on the scale, or a wrong catalogue entry?")
                                                 .arg(row.weight)
                                                 .arg(above)
                                                 .arg(row.fullWeight)});
    }
}

void InventoryBottleList::setFullWeightTolerance(qint64 grams)
{
    fullWeightTolerance = grams;
    for (int i = 0; i < rows.size(); ++i) {
        OverviewRow &row = rows[i];
        const int before = doubtKinds(row.doubts);
        row.doubts.erase(std::remove_if(row.doubts.begin(), row.doubts.end(),
                                        [](const Doubt &doubt) {
                                            return doubt.kind == Doubt::AboveFull ||
                                                   doubt.kind == Doubt::AboveVolume;
                                        }),
                         row.doubts.end());
        checkFullWeight(row);
        if (doubtKinds(row.doubts) != before)
            emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
    }
}

void InventoryBottleList::markRepeatedWeighings()
{
    QHash<QString, int> weighings;
    for (const OverviewRow &row : qAsConst(rows)) {
        if (row.weight > 0)
            ++weighings[row.ean];
    }
    for (int i = 0; i < rows.size(); ++i) {
        OverviewRow &row = rows[i];
        const bool marked = doubtKinds(row.doubts) & Doubt::WeighedAgain;
        const int times = row.weight > 0 ? weighings.value(row.ean) : 0;
        if (marked || times < 2)
            continue;
        row.doubts.append({Doubt::WeighedAgain,
                           tr("Weighed %1 times: the residues are added up (several open bottles?).")
                               .arg(times)});
        if (!building)
            emit dataChanged(index(i, 0), index(i, ColumnCount - 1));
    }
}

void InventoryBottleList::setInventory(QList<InventoryBottle> inventory, Database *database)
{
    beginResetModel();
    building = true;
    rows.clear();
    unknownEans.clear();
    fullWeightTolerance = ::fullWeightTolerance();

    QList<Bottle> empty;
    QList<Bottle> &bottles = database ? database->bottles : empty;

    QHash<QString, int> firstOfEan;
    QHash<QString, int> firstWithoutZeros;
    firstOfEan.reserve(bottles.size());
    for (int i = 0; i < bottles.size(); ++i) {
        const QString &ean = bottles.at(i).ean;
        if (!firstOfEan.contains(ean))
            firstOfEan.insert(ean, i);
        const QString stripped = withoutLeadingZeros(ean);
        if (!stripped.isEmpty() && !firstWithoutZeros.contains(stripped))
            firstWithoutZeros.insert(stripped, i);
    }

    // A weighing whose EAN has no exact match takes the EAN of the first bottle that matches without leading
    // zeros; an exact match always wins.
    QHash<QString, QVector<int>> weighingsOfEan;
    for (int i = 0; i < inventory.size(); ++i) {
        InventoryBottle &weighing = inventory[i];
        if (!firstOfEan.contains(weighing.ean)) {
            const auto found = firstWithoutZeros.constFind(withoutLeadingZeros(weighing.ean));
            if (found != firstWithoutZeros.constEnd())
                weighing.ean = bottles.at(found.value()).ean;
        }
        weighingsOfEan[weighing.ean].append(i);
    }

    QVector<bool> used(inventory.size(), false);
    QVector<int> newlyMarked;
    for (int i = 0; i < bottles.size(); ++i) {
        Bottle &bottle = bottles[i];
        const bool wasMarked = bottle.useInInventory;
        const InventoryBottle *weighing = nullptr;
        auto queue = weighingsOfEan.find(bottle.ean);
        if (queue != weighingsOfEan.end() && !queue->isEmpty()) {
            const int position = queue->takeFirst();
            used[position] = true;
            weighing = &inventory.at(position);
        }
        addBottle(bottle, weighing);
        if (!wasMarked && bottle.useInInventory)
            newlyMarked.append(i);
    }

    for (int i = 0; i < inventory.size(); ++i) {
        if (used.at(i))
            continue;
        const InventoryBottle &weighing = inventory.at(i);
        const auto found = firstOfEan.constFind(weighing.ean);
        if (found == firstOfEan.constEnd()) {
            warn(tr("Error in database"), tr("Bottle '%1' is not in database!").arg(weighing.ean) +
                                              QLatin1Char('\n') +
                                              weighedText(QString(), weighing.ean, weighing.weight));
            // Left out of the list, whose rows and exports callers read as catalogue bottles; the caller can
            // offer to add it to the catalogue.
            if (!unknownEans.contains(weighing.ean))
                unknownEans.append(weighing.ean);
            continue;
        }
        Bottle &bottle = bottles[found.value()];
        const bool wasMarked = bottle.useInInventory;
        addBottle(bottle, &weighing);
        if (!wasMarked && bottle.useInInventory)
            newlyMarked.append(found.value());
    }

    markRepeatedWeighings();
    building = false;
    endResetModel();
    sort(NameColumn, Qt::AscendingOrder);
    time = QDateTime::currentDateTime();

    if (database) {
        for (int row : qAsConst(newlyMarked))
            database->bottleChanged(row);
    }
    flushWarnings();
}

int InventoryBottleList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int InventoryBottleList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant InventoryBottleList::data(const QModelIndex &index, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column());
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const OverviewRow &row = rows.at(index.row());
    const bool doubtfulCell = !row.doubts.isEmpty() && index.column() == ResidueColumn;
    if (role == DoubtRole)
        return doubtKinds(row.doubts);
    // A screen reader speaks the doubt the colour shows.
    if ((role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) && doubtfulCell)
        return doubtTexts(row.doubts, ~0);
    if (role == Qt::BackgroundRole && doubtfulCell)
        return doubtColour;
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case NameColumn:
        return row.name;
    case ResidueColumn:
        return Shown::fixed(double(row.residue) / 1000.0, 2);
    default:
        return QStringLiteral("---");
    }
}

QVariant InventoryBottleList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return alignment(section);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case NameColumn:
        return tr("Item");
    case ResidueColumn:
        return tr("Residue");
    default:
        return QStringLiteral("---");
    }
}

bool InventoryBottleList::removeRows(int row, int count, const QModelIndex &parent)
{
    removeListRows(rows, row, count, parent);
    return true;
}

void InventoryBottleList::sort(int column, Qt::SortOrder order)
{
    if (column != NameColumn)
        return;
    QVector<QPair<QString, int>> keys;
    keys.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i)
        keys.append({rows.at(i).name.trimmed(), i});
    // Stable, so that repeated weighings of one bottle keep the order in which they were weighed; names in
    // the order of the interface's language ("Č" after "C", "Ch" after "H" in Czech).
    QCollator collator;
    collator.setNumericMode(true);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(keys.begin(), keys.end(), [&collator, ascending](const auto &a, const auto &b) {
        return ascending ? collator.compare(a.first, b.first) < 0 : collator.compare(b.first, a.first) < 0;
    });
    // The rows move, not their contents: a selection or a current index stays on its bottle.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<OverviewRow> sorted;
    sorted.reserve(rows.size());
    QVector<int> newRow(rows.size());
    for (int i = 0; i < keys.size(); ++i) {
        sorted.append(rows.at(keys.at(i).second));
        newRow[keys.at(i).second] = i;
    }
    rows = sorted;
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after.append(index(newRow.at(old.row()), old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QByteArray InventoryBottleList::toXML() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("inventoryOverview"));
    xml.writeTextElement(QStringLiteral("time"),
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    for (const OverviewRow &row : rows) {
        xml.writeStartElement(QStringLiteral("bottle"));
        xml.writeAttribute(QStringLiteral("ean"), row.ean);
        xml.writeTextElement(QStringLiteral("name"), row.name);
        xml.writeTextElement(QStringLiteral("measuredValue"), QString::number(row.residue));
        xml.writeTextElement(QStringLiteral("weight"), QString::number(row.weight));
        xml.writeTextElement(QStringLiteral("volume"), QString::number(row.volume));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QByteArray InventoryBottleList::toCSV() const
{
    // Encoded here rather than by the stream, which on Qt 5 follows the locale: UTF-8 with every Qt.
    QString text;
    QTextStream out(&text);
    out << tr("EAN") << ';' << tr("Item") << ';' << tr("Residue") << '\n';
    for (const OverviewRow &row : rows) {
        // A catalogue row marked for the count brings its EAN as typed or imported, which may be any text.
        QString ean = csvNeutralised(row.ean);
        ean.replace(QLatin1String("\""), QLatin1String("\"\""));
        out << '"' << ean << '"' << ';' << csvText(row.name) << ';' << row.residue << '\n';
    }
    out.flush();
    return text.toUtf8();
}

bool InventoryBottleList::saveToCSV(QString fileName, QString *reason)
{
    if (fileName.isEmpty())
        return true;
    return writeFileWhole(fileName, toCSV(), reason);
}

bool InventoryBottleList::saveToXML(QString fileName, QString *reason)
{
    if (fileName.isEmpty())
        return true;
    return writeFileWhole(fileName, toXML(), reason, QIODevice::WriteOnly | QIODevice::Text);
}

bool InventoryBottleList::loadFromXML(QString fileName, QList<InventoryBottle> &inventory)
{
    inventory.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcInventoryBottleList, "file not found");
        return false;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("inventoryOverview") || name == QLatin1String("time"))
            continue;
        if (name != QLatin1String("bottle")) {
            qCWarning(lcInventoryBottleList, "unknown XML element: %s", qUtf8Printable(name.toString()));
            return false;
        }
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.isEmpty() || attributes.first().name() != QLatin1String("ean")) {
            qCWarning(lcInventoryBottleList, "error parsing XML file, no EAN found");
            return false;
        }
        InventoryBottle weighing;
        weighing.ean = attributes.first().value().toString();
        if (!WeighingsFile::isStationEan(weighing.ean)) {
            qCWarning(lcInventoryBottleList, "EAN the station cannot send: %s", qUtf8Printable(weighing.ean));
            return false;
        }
        while (xml.readNextStartElement()) {
            const bool isWeight = xml.name() == QLatin1String("weight");
            const QString text = xml.readElementText();
            if (isWeight)
                weighing.weight = weightOf(text.trimmed());
        }
        // Past the station's 16 bits the file is damaged; taken in, the weight would give a residue of
        // nothing.
        if (weighing.weight > WeighingsFile::maxWeight) {
            qCWarning(lcInventoryBottleList, "weight the station cannot send: %llu g", weighing.weight);
            return false;
        }
        if (!xml.hasError())
            inventory.append(weighing);
    }
    file.close();
    return true;
}
