#include "weighingsfile.h"

#include "inventorybottle.h"
#include "inventorybottlelist.h"

#include <QFile>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcWeighingsFile, "weighingsfile")

namespace WeighingsFile {

bool isStationEan(const QString &ean)
{
    if (ean.isEmpty() || ean.size() > 14)
        return false;
    for (const QChar c : ean) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

namespace {
bool readLines(const QString &path, const QByteArray &bytes, QList<InventoryBottle> *weighings,
               QString *error)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char(';'));
        bool ok = false;
        const quint64 weight = fields.size() == 2 ? fields.at(1).trimmed().toULongLong(&ok) : 0;
        const QString ean = fields.value(0).trimmed();
        if (!ok || weight > maxWeight || !isStationEan(ean)) {
            *error = QStringLiteral("%1:%2: expected ean;weight with an EAN of digits "
                                    "and a weight of 0 to %3 g")
                         .arg(path)
                         .arg(i + 1)
                         .arg(maxWeight);
            weighings->clear();
            return false;
        }
        InventoryBottle weighing;
        weighing.ean = ean;
        weighing.weight = weight;
        weighings->append(weighing);
    }
    return true;
}
} // namespace

bool read(const QString &path, QList<InventoryBottle> *weighings, QString *error)
{
    weighings->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    file.close();
    if (!bytes.trimmed().startsWith('<'))
        return readLines(path, bytes, weighings, error);
    if (!InventoryBottleList::loadFromXML(path, *weighings)) {
        *error = QStringLiteral("%1: not an overview file, or a weighing the station cannot send").arg(path);
        weighings->clear();
        return false;
    }
    return true;
}

} // namespace WeighingsFile
