#include "stationprotocol.h"

#include "bottle.h"
#include "inventorybottle.h"

#include <QCoreApplication>
#include <QtEndian>

namespace StationProtocol {

namespace {
void put16(QByteArray &out, int offset, quint16 value)
{
    out[offset] = char(value & 0xFF);
    out[offset + 1] = char(value >> 8);
}

void put32(QByteArray &out, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((value >> (8 * i)) & 0xFF);
}
} // namespace

quint16 checksum(const char *data, int size)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < size; ++i)
        crc = crcStep(crc, quint8(data[i]));
    return quint16(~crc);
}

void appendEscaped(QByteArray &out, const char *data, int size)
{
    for (int i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == FrameStart) {
            out.append(Escape).append(char(0xE0));
        } else if (c == FrameEnd) {
            out.append(Escape).append(char(0xE1));
        } else if (c == Escape) {
            out.append(Escape).append(char(0x5D));
        } else {
            out.append(c);
        }
    }
}

QByteArray buildFrame(const QByteArray &body)
{
    const quint16 crc = checksum(body.constData(), body.size());
    const char crcBytes[2] = {char(crc >> 8), char(crc & 0xFF)};
    QByteArray frame;
    frame.reserve(2 * body.size() + 6);
    frame.append(FrameStart);
    appendEscaped(frame, body.constData(), body.size());
    appendEscaped(frame, crcBytes, 2);
    frame.append(FrameEnd);
    return frame;
}

int unstuff(const QByteArray &in, QByteArray &out)
{
    out.clear();
    out.reserve(in.size());
    int broken = 0;
    const int n = in.size();
    for (int i = 0; i < n; ++i) {
        const char c = in.at(i);
        if (c != Escape || i + 1 == n) {
            out.append(c);
            continue;
        }
        const char next = in.at(i + 1);
        if (next == char(0xE0)) {
            out.append(FrameStart);
        } else if (next == char(0xE1)) {
            out.append(FrameEnd);
        } else if (next == char(0x5D)) {
            out.append(Escape);
        } else {
            // The escape byte is dropped; the byte after it is looked at again on its own.
            ++broken;
            continue;
        }
        ++i;
    }
    return broken;
}

FrameOutcome checkFrame(const QByteArray &raw, QByteArray *body, int *brokenEscapes)
{
    if (brokenEscapes)
        *brokenEscapes = 0;
    if (raw.size() < MinRawFrameSize)
        return FrameOutcome::TooShort;
    QByteArray plain;
    const int broken = unstuff(raw, plain);
    if (brokenEscapes)
        *brokenEscapes = broken;
    // Escapes can shrink a frame below the size of its checksum; such a frame cannot be checked.
    if (plain.size() < 2)
        return FrameOutcome::ChecksumError;
    const int n = plain.size() - 2;
    const quint16 received = quint16(quint8(plain.at(n)) << 8 | quint8(plain.at(n + 1)));
    if (checksum(plain.constData(), n) != received)
        return FrameOutcome::ChecksumError;
    plain.chop(2);
    if (body)
        *body = plain;
    return FrameOutcome::Good;
}

QByteArray requestHeader(char command, quint16 address)
{
    const char header[HeaderSize] = {
        0x01, char(0x80), command, 0, 0, char(address >> 8), char(address & 0xFF), char(BlockSize)};
    return QByteArray(header, HeaderSize);
}

QString eanText(quint32 leading, quint16 last)
{
    return QString::number(leading) + QStringLiteral("%1").arg(last, 4, 10, QLatin1Char('0'));
}

void splitEan(const QString &ean, quint32 *leading, quint16 *last)
{
    // left() with a negative count takes the whole text, so an EAN shorter than four characters gives
    // both parts the whole text.
    bool ok = false;
    const quint32 lead = ean.left(ean.size() - 4).toUInt(&ok, 10);
    *leading = ok ? lead : 0;
    const quint32 tail = ean.right(4).toUInt(&ok, 10);
    *last = ok ? quint16(tail & 0xFFFF) : 0;
}

QString decodeText(const char *data, int size)
{
    int length = 0;
    while (length < size && data[length] != 0)
        ++length;
    // Valid UTF-8, and only that, comes back unchanged from a round trip: a broken or cut-off sequence turns
    // into a replacement character.
    const QByteArray raw(data, length);
    const QString text = QString::fromUtf8(raw);
    if (text.toUtf8() == raw)
        return text;
    return QString::fromLatin1(raw);
}

namespace {
constexpr int NameSize = 15;
constexpr quint64 MaxField = 0xFFFF;

bool fitsField(quint64 weight, qint32 correction)
{
    // Checked before adding, so no weight from a file can overflow the sum.
    if (weight > MaxField + 0x80000000ULL)
        return false;
    const qint64 sum = qint64(weight) + correction;
    return sum >= 0 && sum <= qint64(MaxField);
}
} // namespace

BottleFault checkBottle(const Bottle &bottle)
{
    const QString &ean = bottle.ean;
    if (ean.isEmpty())
        return BottleFault::EmptyEan;
    for (const QChar c : ean) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return BottleFault::EanNotDigits;
    }
    // The station keeps the EAN as numbers, so leading zeros are not part of what it holds.
    int first = 0;
    while (first < ean.size() && ean.at(first) == QLatin1Char('0'))
        ++first;
    const QString significant = ean.mid(first);
    bool ok = false;
    const quint64 leading = significant.left(qMax(0, significant.size() - 4)).toULongLong(&ok);
    if (!ok || leading == 0 || leading > 4294967295ULL)
        return BottleFault::EanLeadingPart;
    if (!fitsField(bottle.emptyWeight, bottle.weightCorrection) ||
        !fitsField(bottle.fullWeight, bottle.weightCorrection))
        return BottleFault::WeightOutOfRange;
    if (bottle.volume > MaxField)
        return BottleFault::VolumeOutOfRange;
    return BottleFault::None;
}

QList<CatalogueFault> checkCatalogue(const QList<Bottle> &bottles)
{
    QList<CatalogueFault> faults;
    for (int row = 0; row < bottles.size(); ++row) {
        const BottleFault fault = checkBottle(bottles.at(row));
        if (fault != BottleFault::None)
            faults.append({row, fault});
    }
    return faults;
}

QString faultText(BottleFault fault)
{
    switch (fault) {
    case BottleFault::None:
        break;
    case BottleFault::EmptyEan:
        return QCoreApplication::translate("StationProtocol", "the EAN is empty");
    case BottleFault::EanNotDigits:
        return QCoreApplication::translate("StationProtocol", "the EAN holds something other than digits");
    case BottleFault::EanLeadingPart:
        return QCoreApplication::translate(
            "StationProtocol", "the EAN must have 5 to 14 digits after its leading zeros, and all but its "
                               "last four digits must not exceed 4294967295");
    case BottleFault::WeightOutOfRange:
        return QCoreApplication::translate("StationProtocol",
                                           "a weight with its correction is outside 0 to 65535 g");
    case BottleFault::VolumeOutOfRange:
        return QCoreApplication::translate("StationProtocol", "the volume is outside 0 to 65535 ml");
    }
    return QString();
}

QStringList describeFaults(const QList<Bottle> &bottles, const QList<CatalogueFault> &faults, int limit)
{
    QStringList lines;
    for (const CatalogueFault &f : faults) {
        if (lines.size() == limit) {
            lines.append(QCoreApplication::translate("StationProtocol", "... and %1 more rows")
                             .arg(faults.size() - limit));
            break;
        }
        const QString ean = f.row >= 0 && f.row < bottles.size() ? bottles.at(f.row).ean : QString();
        lines.append(QCoreApplication::translate("StationProtocol", "row %1, EAN \"%2\": %3")
                         .arg(f.row + 1)
                         .arg(ean.left(40), faultText(f.fault)));
    }
    return lines;
}

QByteArray stationName(const QString &name)
{
    QByteArray bytes;
    const QVector<uint> characters = name.toUcs4();
    for (const uint c : characters) {
        if (bytes.size() == NameSize)
            break;
        if (c <= 0xFF) {
            bytes.append(char(c));
            continue;
        }
        // The base letters of the decomposition, the combining accents dropped.
        const char32_t character = c;
        const QString decomposed = QString::fromUcs4(&character, 1).normalized(QString::NormalizationForm_D);
        QByteArray base;
        for (const QChar part : decomposed) {
            if (part.unicode() <= 0xFF && part.category() != QChar::Mark_NonSpacing)
                base.append(char(part.unicode()));
        }
        bytes.append(base.isEmpty() ? QByteArray(1, '?') : base);
    }
    return bytes.left(NameSize);
}

QByteArray encodeBottle(const Bottle &bottle)
{
    QByteArray record(BottleRecordSize, 0);
    quint32 leading = 0;
    quint16 last = 0;
    splitEan(bottle.ean, &leading, &last);
    put32(record, 0, leading);
    put16(record, 4, last);
    const QByteArray name = stationName(bottle.displayName);
    record.replace(6, name.size(), name);
    const quint64 correction = quint64(qint64(bottle.weightCorrection));
    put16(record, 21, quint16(bottle.volume));
    put16(record, 23, quint16(bottle.emptyWeight + correction));
    put16(record, 25, quint16(bottle.fullWeight + correction));
    return record;
}

bool decodeBottle(const char *record, Bottle *bottle)
{
    const uchar *p = reinterpret_cast<const uchar *>(record);
    const quint32 leading = qFromLittleEndian<quint32>(p);
    if (leading == 0)
        return false;
    bottle->ean = eanText(leading, qFromLittleEndian<quint16>(p + 4));
    bottle->displayName = decodeText(record + 6, 15);
    bottle->volume = qFromLittleEndian<quint16>(p + 21);
    bottle->emptyWeight = qFromLittleEndian<quint16>(p + 23);
    bottle->fullWeight = qFromLittleEndian<quint16>(p + 25);
    bottle->stationText = decodeText(record + 27, 5);
    return true;
}

QByteArray encodeInventoryRecord(const InventoryBottle &bottle)
{
    QByteArray record(InventoryRecordSize, 0);
    quint32 leading = 0;
    quint16 last = 0;
    splitEan(bottle.ean, &leading, &last);
    put16(record, 0, quint16(bottle.weight));
    put32(record, 2, leading);
    put16(record, 6, last);
    return record;
}

bool decodeInventoryRecord(const char *record, InventoryBottle *bottle)
{
    const uchar *p = reinterpret_cast<const uchar *>(record);
    const quint32 leading = qFromLittleEndian<quint32>(p + 2);
    if (leading == 0)
        return false;
    bottle->weight = qFromLittleEndian<quint16>(p);
    bottle->ean = eanText(leading, qFromLittleEndian<quint16>(p + 6));
    return true;
}

} // namespace StationProtocol
