#include "history.h"

#include "savefile.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QXmlStreamReader>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcHistory, "history")

namespace History {

namespace {
double decimal(const QString &text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(number) ? number : 0;
}

QDateTime msTime(const QString &text, bool *ok)
{
    const qint64 ms = text.trimmed().toLongLong(ok);
    return QDateTime::fromMSecsSinceEpoch(ms);
}

// A `bottle` or `item` element: its name, sold quantity and amount; false on an element a table never holds.
// Ten years of counts are tens of megabytes, so names are compared in place and unused texts are skipped.
bool readRow(QXmlStreamReader &xml, QString *name, qint64 *sold, double *amount)
{
    static const char *const skipped[] = {"sellUnit",      "pricePerUnit",          "initialQuantity",
                                          "fromStock",     "measuredValue",         "residualBottlesVolume",
                                          "finalQuantity"};
    while (xml.readNextStartElement()) {
        const QStringView child = xml.name();
        const bool isSold = child == QLatin1String("soldQuantity");
        if (child == QLatin1String("name")) {
            *name = xml.readElementText();
        } else if (isSold || child == QLatin1String("totalAmount")) {
            if (xml.readNext() == QXmlStreamReader::Characters) {
                if (isSold)
                    *sold = xml.text().trimmed().toLongLong();
                else
                    *amount = decimal(xml.text().toString());
            }
            if (xml.tokenType() != QXmlStreamReader::EndElement)
                xml.skipCurrentElement();
        } else if (std::none_of(std::begin(skipped), std::end(skipped),
                                [&child](const char *known) { return child == QLatin1String(known); })) {
            return false;
        } else {
            xml.skipCurrentElement();
        }
    }
    return true;
}
Count readFile(const QString &path)
{
    Count count;
    count.path = path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !read(file.readAll(), &count))
        qCWarning(lcHistory, "%s is not an inventory table", qUtf8Printable(QFileInfo(path).fileName()));
    return count;
}
} // namespace

QString folder(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QLatin1String(DataFile::history));
}

QString fileName(const QDateTime &end, quint32 counter)
{
    return end.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral("-%1.inv").arg(counter, 10, 10, QLatin1Char('0'));
}

bool read(const QByteArray &document, Count *count)
{
    Count result;
    result.path = count->path;
    result.damaged = true;
    *count = result;

    QXmlStreamReader xml(document);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("inventory"))
        return false;
    bool haveCounter = false;
    bool haveEnd = false;
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        if (name == QLatin1String("bottle") || name == QLatin1String("item")) {
            const QString ean = xml.attributes().value(QLatin1String("ean")).toString();
            QString rowName;
            qint64 sold = 0;
            double amount = 0;
            if (!readRow(xml, &rowName, &sold, &amount))
                return false;
            if (name == QLatin1String("item")) {
                result.items += amount;
                continue;
            }
            if (ean.isEmpty())
                return false;
            result.alcohol += amount;
            result.sold[ean] += sold;
            result.names.insert(ean, rowName);
            continue;
        }
        if (name != QLatin1String("counter") && name != QLatin1String("timeStart") &&
            name != QLatin1String("timeEnd")) {
            // Elements of newer copies, such as the till's figures, may hold elements of their own.
            xml.skipCurrentElement();
            continue;
        }
        const QString text = xml.readElementText();
        bool ok = true;
        if (name == QLatin1String("counter")) {
            result.counter = text.trimmed().toUInt(&ok);
            haveCounter = ok;
        } else if (name == QLatin1String("timeStart")) {
            result.from = msTime(text, &ok);
        } else if (name == QLatin1String("timeEnd")) {
            result.to = msTime(text, &ok);
            haveEnd = ok;
        }
        if (!ok)
            return false;
    }
    if (xml.hasError() || !haveCounter || !haveEnd)
        return false;
    result.damaged = false;
    *count = result;
    return true;
}

bool keep(const QString &dataFolder, const QByteArray &document, QString *reason)
{
    Count count;
    if (!read(document, &count)) {
        if (reason)
            *reason = QCoreApplication::translate("History", "It is not an inventory table.");
        return false;
    }
    const QDir dir(folder(dataFolder));
    if (!dir.mkpath(QStringLiteral("."))) {
        if (reason)
            *reason = QCoreApplication::translate("History", "The folder %1 cannot be created.")
                          .arg(QDir::toNativeSeparators(dir.path()));
        return false;
    }
    return writeFileWhole(dir.filePath(fileName(count.to, count.counter)), document, reason);
}

QList<Count> list(const QString &dataFolder)
{
    const QDir dir(folder(dataFolder));
    const QStringList names =
        dir.entryList({QStringLiteral("*.inv")}, QDir::Files | QDir::Readable, QDir::Name);
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths.append(dir.filePath(name));
    // Years of counts are many megabytes of XML; each file is read on its own, so every core can take some.
    return QtConcurrent::blockingMapped<QList<Count>>(paths, readFile);
}

Imported importFolder(const QString &dataFolder, const QString &sourceFolder, QString *reason)
{
    Imported imported;
    const QDir source(sourceFolder);
    const QStringList names = source.entryList({QStringLiteral("*.inv"), QStringLiteral("*.INV")},
                                               QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(source.filePath(name));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        Count count;
        if (!read(bytes, &count)) {
            imported.damaged.append(name);
            continue;
        }
        if (!keep(dataFolder, bytes, reason))
            return imported;
        imported.added.append(name);
    }
    return imported;
}

QString shownTime(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QByteArray csv(const QList<Count> &counts)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("History", text); };
    QStringList lines;
    lines.append(QStringList{tr("Table"), tr("From"), tr("To"), tr("Alcohol Sales"), tr("Other Items"),
                             tr("Total Sales")}
                     .join(QLatin1Char(';')));
    const auto money = [](double value) { return QString::number(value, 'f', 2); };
    for (const Count &count : counts) {
        if (count.damaged)
            continue;
        lines.append(QStringList{QString::number(count.counter), shownTime(count.from), shownTime(count.to),
                                 money(count.alcohol), money(count.items), money(count.total())}
                         .join(QLatin1Char(';')));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QList<qint64> soldPerCount(const QList<Count> &counts, const QString &ean)
{
    QList<qint64> sold;
    sold.reserve(counts.size());
    for (const Count &count : counts)
        sold.append(count.sold.value(ean));
    return sold;
}

QList<QPair<QString, QString>> bottles(const QList<Count> &counts)
{
    QHash<QString, QString> names;
    for (const Count &count : counts) {
        for (auto it = count.names.cbegin(); it != count.names.cend(); ++it)
            names.insert(it.key(), it.value());
    }
    QList<QPair<QString, QString>> list;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        list.append({it.key(), it.value()});
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        return a.second.trimmed() == b.second.trimmed() ? a.first < b.first
                                                        : a.second.trimmed() < b.second.trimmed();
    });
    return list;
}

} // namespace History
