#include "doubtsummary.h"

#include "inventory.h"
#include "shown.h"
#include "inventorybottlelist.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringList>

namespace DoubtSummary {

namespace {
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(DoubtSummary)

public:
    static QString heading(int lines)
    {
        return tr("Weighings to check before counting up the cash: %1").arg(lines);
    }
    static QString left(const SalesRow &row)
    {
        return tr("%1 (EAN %2): %3 l in the last saved table, but not in this count: not counted at all.")
            .arg(row.name.trimmed(), row.ean, Shown::fixed(double(row.finalQuantity) / 1000.0, 2));
    }
    static QString firstCount()
    {
        return tr("This is the first count: with no saved table before it, there was nothing at the start, "
                  "so every sold quantity and its cash are negative. Save the table: its final quantities "
                  "are where the next count starts.");
    }
};

void addLines(QStringList &lines, const QString &name, const Doubts &doubts, int kinds)
{
    for (const Doubt &doubt : doubts) {
        if (doubt.kind & kinds)
            lines.append(QStringLiteral("%1: %2").arg(name.trimmed(), doubt.text));
    }
}

QString message(const QStringList &lines)
{
    if (lines.isEmpty())
        return QString();
    return Texts::heading(int(lines.size())) +
           QStringLiteral("\n\n") + lines.join(QLatin1Char('\n'));
}
} // namespace

QString overview(const QList<OverviewRow> &rows)
{
    QStringList lines;
    QSet<QString> repeatSaid;
    for (const OverviewRow &row : rows) {
        int kinds = ~0;
        // One line for an EAN weighed several times, not one per weighing.
        if (doubtKinds(row.doubts) & Doubt::WeighedAgain) {
            if (repeatSaid.contains(row.ean))
                kinds &= ~Doubt::WeighedAgain;
            repeatSaid.insert(row.ean);
        }
        addLines(lines, row.name, row.doubts, kinds);
    }
    return message(lines);
}

QString sales(const Inventory &inventory)
{
    QStringList lines;
    bool negative = false;
    for (const SalesRow &row : inventory.rows) {
        addLines(lines, row.name, row.doubts, Doubt::NotWeighed | Doubt::SoldNegative);
        negative = negative || row.soldQuantity < 0;
    }
    for (const SalesRow &row : inventory.left)
        lines.append(Texts::left(row));
    QString text = message(lines);
    if (inventory.opening && negative) {
        if (!text.isEmpty())
            text += QStringLiteral("\n\n");
        text += Texts::firstCount();
    }
    return text;
}

} // namespace DoubtSummary
