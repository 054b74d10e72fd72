#pragma once

#include "bottle.h"
#include "database.h"

#include <QList>
#include <QString>

#include <cstdio>
#include <cstdlib>

// A property of the format that does not hold is a finding like a crash: report it and stop, so that
// libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                           \
    do {                                                                                                \
        if (!(condition)) {                                                                             \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                               \
        }                                                                                               \
    } while (false)

namespace Fuzz {

// Every field a catalogue file stores; the station's own text is never stored.
inline QString describe(const Bottle &b)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|%10|%11")
        .arg(b.ean, b.displayName, b.fullName)
        .arg(b.volume).arg(b.fullWeight).arg(b.emptyWeight).arg(b.contentWeight).arg(b.weightCorrection)
        .arg(b.useInInventory)
        .arg(Database::dateTimeToText(b.modified), Database::dateTimeToText(b.inserted));
}

inline bool sameRecords(const QList<Bottle> &a, const QList<Bottle> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (describe(a.at(i)) != describe(b.at(i))) {
            std::fprintf(stderr, "record %d differs:\n  %s\n  %s\n", i, qUtf8Printable(describe(a.at(i))),
                         qUtf8Printable(describe(b.at(i))));
            return false;
        }
    }
    return true;
}

// The catalogue's bounds hold for every record a reader gives.
inline bool withinBounds(const Bottle &b)
{
    return b.volume <= Bottle::maxQuantity && b.fullWeight <= Bottle::maxQuantity
           && b.emptyWeight <= Bottle::maxQuantity && b.weightCorrection >= -Bottle::maxCorrection
           && b.weightCorrection <= Bottle::maxCorrection;
}

// `text` without the characters that cannot stand in an XML document.
inline QString xmlText(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if ((u >= 0x20 || u == '\t' || u == '\n' || u == '\r') && !c.isSurrogate() && u != 0xFFFE
                   && u != 0xFFFF) {
            out += c;
        }
    }
    return out;
}

} // namespace Fuzz
