#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

struct Bottle;
struct InventoryBottle;

// The station's wire format, shared by the link and the station simulator so that neither writes its own
// copy: frame delimiting and stuffing, the checksum, and the 32-byte bottle and 8-byte inventory records.
namespace StationProtocol {

constexpr char FrameStart = char(0xC0);
constexpr char FrameEnd = char(0xC1);
constexpr char Escape = char(0x7D);

constexpr char ReadBlockCommand = 0x71;
constexpr char WriteBlockCommand = 0x70;
constexpr char ReadVersionCommand = 0x21;

constexpr int HeaderSize = 8;
constexpr int BlockSize = 128;
constexpr int BottleRecordSize = 32;
constexpr int InventoryRecordSize = 8;
constexpr int MaxBottles = 1500;
// Stuffed bytes between a start and an end byte below which a frame cannot hold header and checksum.
constexpr int MinRawFrameSize = 10;
// Stuffed bytes after a start byte beyond which no answer can go (a block answer stuffs to at most 276); a
// line that sends more without an end byte is not the station.
constexpr int MaxRawFrameSize = 4096;

constexpr quint16 DatabaseAddress = 0;
constexpr quint16 DatabaseLastAddress = 47999;
constexpr quint16 InventoryAddress = 48000;
constexpr quint16 InventorySlotSize = 4000;
constexpr quint16 InventoryNumberAddress = 60000;
constexpr quint16 VersionAddress = 16;

constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = quint16(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0x8408) : quint16(crc >> 1);
        table[size_t(i)] = crc;
    }
    return table;
}

constexpr std::array<quint16, 256> crcTable = makeCrcTable();

inline quint16 crcStep(quint16 crc, quint8 byte)
{
    return quint16((crc >> 8) ^ crcTable[(crc ^ byte) & 0xFF]);
}

// CRC-16/X-25 of `size` bytes: initial 0xFFFF, complemented result.
quint16 checksum(const char *data, int size);

// Appends `size` bytes to `out`, stuffing the three reserved bytes.
void appendEscaped(QByteArray &out, const char *data, int size);

// A whole frame for `body` (header and payload): start byte, stuffed body and checksum, end byte.
QByteArray buildFrame(const QByteArray &body);

// Undoes the stuffing of `in` into `out` (which is cleared first). Returns how many escape bytes were
// followed by a byte that no escape sequence allows; such an escape byte is dropped.
int unstuff(const QByteArray &in, QByteArray &out);

enum class FrameOutcome { TooShort, ChecksumError, Good };

// Judges the raw (still stuffed) bytes between a start and an end byte. A good frame leaves the unstuffed
// header and payload, checksum removed, in `body`.
FrameOutcome checkFrame(const QByteArray &raw, QByteArray *body, int *brokenEscapes = nullptr);

// The request header: 01 80, command, 00 00, address high and low, block length.
QByteArray requestHeader(char command, quint16 address);

// EAN text from the record's two numbers: the leading part without leading zeros, the last part in four
// digits.
QString eanText(quint32 leading, quint16 last);
// The two numbers a record stores for `ean`; a part that is not a decimal number is stored as 0.
void splitEan(const QString &ean, quint32 *leading, quint16 *last);

// Text of a record field: bytes up to the first zero byte, as UTF-8 when they are valid UTF-8 and as
// Latin-1 otherwise (names are written in Latin-1).
QString decodeText(const char *data, int size);

// Why the station cannot hold a catalogue row exactly as it is.
enum class BottleFault {
    None,
    EmptyEan,
    EanNotDigits,
    // All but the last four digits, leading zeros dropped, must be 1 to 4294967295: a leading part of 0
    // is the station's end of list and would hide every bottle after it.
    EanLeadingPart,
    WeightOutOfRange, // weight plus correction outside 0 to 65535 g
    VolumeOutOfRange, // volume outside 0 to 65535 ml
};

struct CatalogueFault
{
    int row = 0; // 0-based row of the list
    BottleFault fault = BottleFault::None;
};

BottleFault checkBottle(const Bottle &bottle);
// Every row the station cannot hold exactly, in list order.
QList<CatalogueFault> checkCatalogue(const QList<Bottle> &bottles);
// The fault in words, translated when a translator is installed.
QString faultText(BottleFault fault);
// One line per faulty row, 1-based as the user counts: row 3, EAN "abc12": ... . At most `limit` lines,
// then how many more.
QStringList describeFaults(const QList<Bottle> &bottles, const QList<CatalogueFault> &faults, int limit = 10);

// The 15 name bytes the station keeps: Latin-1, characters outside it without their accents (ř -> r),
// '?' for what has no Latin-1 base letter.
QByteArray stationName(const QString &name);

QByteArray encodeBottle(const Bottle &bottle);
// `record` holds BottleRecordSize bytes. Returns false for the end-of-list record (leading EAN part 0).
bool decodeBottle(const char *record, Bottle *bottle);

QByteArray encodeInventoryRecord(const InventoryBottle &bottle);
// `record` holds InventoryRecordSize bytes. Returns false for the end-of-list record.
bool decodeInventoryRecord(const char *record, InventoryBottle *bottle);

} // namespace StationProtocol
