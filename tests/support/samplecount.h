#pragma once

#include "inventory.h"

#include <QList>

namespace TestSupport {

// The sales rows of the second count worked by hand in docs/takings.md, before calculate().
inline QList<SalesRow> secondCountRows()
{
    const auto row = [](const char *ean, const char *name, qint64 unit, double price, qint64 initial,
                        qint64 stock, qint64 measured) {
        SalesRow r;
        r.ean = QLatin1String(ean);
        r.name = QString::fromUtf8(name);
        r.sellUnit = unit;
        r.pricePerUnit = price;
        r.initialQuantity = initial;
        r.fromStock = stock;
        r.measuredValue = measured;
        r.bottleVolume = 700;
        return r;
    };
    return {row("8592508053241", "Rum Tuzemák Kapitán", 40, 35, 1000, 0, 947),
            row("8595572479177", "Sirup Cukrový Třtinový", 20, 10, 241, 700, 662),
            row("0590000342304", "Vodka Premium Kristal", 40, 40, 71, 700, 700)};
}

} // namespace TestSupport
