// The station's frame reader: unstuffing, checksum and the bottle and inventory records inside a frame.
#include "fuzzcheck.h"

#include "inventorybottle.h"
#include "stationprotocol.h"

#include <QByteArray>

using namespace StationProtocol;

namespace {
// Whether a record's EAN text is the one its two numbers give back; the station never sends one whose last
// part has five digits, and only for the others can the text stand for the numbers.
bool representable(const QString &ean)
{
    quint32 leading = 0;
    quint16 last = 0;
    splitEan(ean, &leading, &last);
    return leading != 0 && eanText(leading, last) == ean;
}

void checkBottleRecord(const char *record)
{
    Bottle bottle;
    if (!decodeBottle(record, &bottle))
        return;
    FUZZ_CHECK(Fuzz::withinBounds(bottle));
    // A name that went through Latin-1 unchanged is written back byte for byte.
    const QByteArray name = bottle.displayName.toLatin1();
    if (!representable(bottle.ean) || name != QByteArray(record + 6, name.size())
        || (name.size() < 15 && record[6 + name.size()] != 0))
        return;
    Bottle again;
    const QByteArray encoded = encodeBottle(bottle);
    FUZZ_CHECK(encoded.size() == BottleRecordSize);
    FUZZ_CHECK(decodeBottle(encoded.constData(), &again));
    FUZZ_CHECK(again.ean == bottle.ean && again.displayName == bottle.displayName);
    FUZZ_CHECK(again.volume == bottle.volume && again.fullWeight == bottle.fullWeight
               && again.emptyWeight == bottle.emptyWeight);
}

void checkInventoryRecord(const char *record)
{
    InventoryBottle bottle;
    if (!decodeInventoryRecord(record, &bottle))
        return;
    FUZZ_CHECK(bottle.weight <= 65535);
    if (!representable(bottle.ean))
        return;
    InventoryBottle again;
    const QByteArray encoded = encodeInventoryRecord(bottle);
    FUZZ_CHECK(decodeInventoryRecord(encoded.constData(), &again));
    FUZZ_CHECK(again.ean == bottle.ean && again.weight == bottle.weight);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), int(size));

    // Stuffing undone gives back what was stuffed.
    QByteArray stuffed;
    appendEscaped(stuffed, raw.constData(), raw.size());
    QByteArray plain;
    FUZZ_CHECK(unstuff(stuffed, plain) == 0);
    FUZZ_CHECK(plain == raw);
    FUZZ_CHECK(!stuffed.contains(FrameStart) && !stuffed.contains(FrameEnd));

    // The input as the bytes between a start and an end byte.
    QByteArray body;
    int broken = 0;
    const FrameOutcome outcome = checkFrame(raw, &body, &broken);
    FUZZ_CHECK(broken >= 0 && broken <= raw.size());
    if (outcome != FrameOutcome::Good)
        return 0;
    FUZZ_CHECK(body.size() <= raw.size() - 2);

    // A frame built for the body reads back as that body.
    const QByteArray frame = buildFrame(body);
    FUZZ_CHECK(frame.startsWith(FrameStart) && frame.endsWith(FrameEnd));
    QByteArray again;
    const QByteArray inner = frame.mid(1, frame.size() - 2);
    if (inner.size() >= MinRawFrameSize) {
        FUZZ_CHECK(checkFrame(inner, &again) == FrameOutcome::Good);
        FUZZ_CHECK(again == body);
    }

    // The records of an answer, as the link reads them after the header.
    for (int offset = HeaderSize; offset + BottleRecordSize <= body.size(); offset += BottleRecordSize)
        checkBottleRecord(body.constData() + offset);
    for (int offset = HeaderSize; offset + InventoryRecordSize <= body.size(); offset += InventoryRecordSize)
        checkInventoryRecord(body.constData() + offset);
    return 0;
}
