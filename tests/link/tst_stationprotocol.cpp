#include "stationprotocol.h"

#include "bottle.h"
#include "inventorybottle.h"

#include <QtTest>

using namespace StationProtocol;

class tst_StationProtocol : public QObject
{
    Q_OBJECT

private slots:
    void checksumTable()
    {
        QCOMPARE(crcTable[0], quint16(0x0000));
        QCOMPARE(crcTable[1], quint16(0x1189));
        QCOMPARE(crcTable[2], quint16(0x2312));
        QCOMPARE(crcTable[3], quint16(0x329B));
        QCOMPARE(crcTable[255], quint16(0x0F78));
        QCOMPARE(checksum("123456789", 9), quint16(0x906E));
    }

    void requestFrames_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("read 60000") << 0x71 << 60000 << QByteArray::fromHex("C0018071 0000EA6080 DE7D5D C1");
        QTest::newRow("read 0, checksum stuffed")
            << 0x71 << 0 << QByteArray::fromHex("C0018071 0000000080 7DE1F3 C1");
        QTest::newRow("read 128") << 0x71 << 128 << QByteArray::fromHex("C0018071 0000008080 4D3F C1");
        QTest::newRow("version 16") << 0x21 << 16 << QByteArray::fromHex("C0018021 0000001080 1403 C1");
    }

    void requestFrames()
    {
        QFETCH(int, command);
        QFETCH(int, address);
        QFETCH(QByteArray, wire);
        const QByteArray frame = buildFrame(requestHeader(char(command), quint16(address)));
        QCOMPARE(frame.toHex(' '), wire.toHex(' '));

        QByteArray body;
        QCOMPARE(checkFrame(frame.mid(1, frame.size() - 2), &body), FrameOutcome::Good);
        QCOMPARE(body, requestHeader(char(command), quint16(address)));
    }

    void stuffing()
    {
        QByteArray out;
        const QByteArray in = QByteArray::fromHex("C0C17D00E0E15D");
        appendEscaped(out, in.constData(), in.size());
        QCOMPARE(out, QByteArray::fromHex("7DE07DE17D5D00E0E15D"));
        QByteArray back;
        QCOMPARE(unstuff(out, back), 0);
        QCOMPARE(back, in);
    }

    void unstuffing_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("broken");
        QTest::newRow("start byte") << QByteArray::fromHex("017DE002") << QByteArray::fromHex("01C002") << 0;
        QTest::newRow("end byte") << QByteArray::fromHex("7DE1") << QByteArray::fromHex("C1") << 0;
        QTest::newRow("escape byte") << QByteArray::fromHex("7D5D") << QByteArray::fromHex("7D") << 0;
        QTest::newRow("escape as last byte")
            << QByteArray::fromHex("417D") << QByteArray::fromHex("417D") << 0;
        QTest::newRow("unknown escape") << QByteArray::fromHex("7D4142") << QByteArray::fromHex("4142") << 1;
        QTest::newRow("escape after broken escape")
            << QByteArray::fromHex("7D7DE0") << QByteArray::fromHex("C0") << 1;
        QTest::newRow("two broken") << QByteArray::fromHex("7D007D01") << QByteArray::fromHex("0001") << 2;
    }

    void unstuffing()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, plain);
        QFETCH(int, broken);
        QByteArray out("left over");
        QCOMPARE(unstuff(raw, out), broken);
        QCOMPARE(out.toHex(' '), plain.toHex(' '));
    }

    void frameOutcomes_data()
    {
        const QByteArray header = QByteArray::fromHex("8001710000000080");
        const QByteArray good = buildFrame(header);
        QByteArray corrupt = good;
        corrupt[3] = char(corrupt.at(3) ^ 0x01);

        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("bodySize");
        // The shortest acceptable frame: header and checksum, nothing stuffed.
        QTest::newRow("ten raw bytes") << good.mid(1, good.size() - 2) << int(FrameOutcome::Good) << 8;
        QTest::newRow("nine raw bytes") << good.mid(1, 9) << int(FrameOutcome::TooShort) << 0;
        QTest::newRow("flipped bit") << corrupt.mid(1, corrupt.size() - 2) << int(FrameOutcome::ChecksumError)
                                     << 0;
        QTest::newRow("broken escape inserted") << QByteArray("\x7D\x41", 2) + good.mid(1, good.size() - 2)
                                                << int(FrameOutcome::ChecksumError) << 0;
        // Ten stuffed bytes that unstuff to almost nothing must not be read past their end.
        QTest::newRow("escapes only") << QByteArray(10, '\x7D') << int(FrameOutcome::ChecksumError) << 0;
    }

    void frameOutcomes()
    {
        QFETCH(QByteArray, raw);
        QFETCH(int, outcome);
        QFETCH(int, bodySize);
        QByteArray body;
        QCOMPARE(int(checkFrame(raw, &body)), outcome);
        QCOMPARE(body.size(), bodySize);
    }

    void bottleRecordExample()
    {
        Bottle bottle;
        bottle.ean = QStringLiteral("1234567890123");
        bottle.displayName = QStringLiteral("Vodka");
        bottle.volume = 700;
        bottle.emptyWeight = 450;
        bottle.fullWeight = 1100;
        bottle.weightCorrection = 5;
        const QByteArray record = encodeBottle(bottle);
        QCOMPARE(record.toHex(' '),
                 QByteArray("15 cd 5b 07 7b 00 56 6f 64 6b 61 00 00 00 00 00 00 00 00 00 00 "
                            "bc 02 c7 01 51 04 00 00 00 00 00"));

        Bottle back;
        back.weightCorrection = 99;
        QVERIFY(decodeBottle(record.constData(), &back));
        QCOMPARE(back.ean, bottle.ean);
        QCOMPARE(back.displayName, bottle.displayName);
        QCOMPARE(back.volume, quint64(700));
        QCOMPARE(back.emptyWeight, quint64(455));
        QCOMPARE(back.fullWeight, quint64(1105));
        QCOMPARE(back.weightCorrection, 99); // decoding leaves fields the record does not carry alone
        QVERIFY(back.stationText.isEmpty());
    }

    void weightsWrapAtSixteenBits()
    {
        Bottle bottle;
        bottle.ean = QStringLiteral("5900000000019");
        bottle.emptyWeight = 5;
        bottle.fullWeight = 70000;
        bottle.weightCorrection = -10;
        Bottle back;
        QVERIFY(decodeBottle(encodeBottle(bottle).constData(), &back));
        QCOMPARE(back.emptyWeight, quint64(65531));
        QCOMPARE(back.fullWeight, quint64((70000 - 10) % 65536));
    }

    void inventoryRecordExample()
    {
        const QByteArray record = QByteArray::fromHex("2C0315CD5B077B00");
        InventoryBottle bottle;
        QVERIFY(decodeInventoryRecord(record.constData(), &bottle));
        QCOMPARE(bottle.weight, quint64(812));
        QCOMPARE(bottle.ean, QStringLiteral("1234567890123"));
        QCOMPARE(encodeInventoryRecord(bottle), record);
        QVERIFY(!decodeInventoryRecord(QByteArray::fromHex("2C03000000007B00").constData(), &bottle));
    }

    void eanParts_data()
    {
        QTest::addColumn<QString>("ean");
        QTest::addColumn<uint>("leading");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("thirteen digits") << "1234567890123" << 123456789u << 123 << "1234567890123";
        QTest::newRow("leading zero lost") << "0123456789012" << 12345678u << 9012 << "123456789012";
        QTest::newRow("last part padded") << "5900012" << 590u << 12 << "5900012";
        QTest::newRow("four characters end the list") << "1234" << 0u << 1234 << QString();
        QTest::newRow("shorter than four") << "12" << 12u << 12 << "120012";
        QTest::newRow("not a number") << "ABC1234" << 0u << 1234 << QString();
        QTest::newRow("leading part too large") << "99999999990000" << 0u << 0 << QString();
        QTest::newRow("empty") << "" << 0u << 0 << QString();
    }

    void eanParts()
    {
        QFETCH(QString, ean);
        QFETCH(uint, leading);
        QFETCH(int, last);
        QFETCH(QString, readBack);
        quint32 lead = 1;
        quint16 tail = 1;
        splitEan(ean, &lead, &tail);
        QCOMPARE(lead, quint32(leading));
        QCOMPARE(int(tail), last);

        Bottle bottle;
        bottle.ean = ean;
        Bottle back;
        QCOMPARE(decodeBottle(encodeBottle(bottle).constData(), &back), !readBack.isEmpty());
        if (!readBack.isEmpty())
            QCOMPARE(back.ean, readBack);
    }

    // Names go to the station in Latin-1; letters outside it keep their base letter.
    void displayNameRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("ascii") << "Gin Dry"
                               << "Gin Dry";
        QTest::newRow("latin-1 accents")
            << QStringLiteral("Pálenka Žitná") << QStringLiteral("Pálenka Zitná");
        QTest::newRow("cut at fifteen")
            << QStringLiteral("Meruňkovice Jižní") << QStringLiteral("Merunkovice Jiz");
        QTest::newRow("no base letter")
            << QStringLiteral("Rum \u2605 \U0001F37A") << QStringLiteral("Rum ? ?");
        QTest::newRow("exactly fifteen") << "123456789012345"
                                         << "123456789012345";
    }

    void displayNameRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QString, readBack);
        Bottle bottle;
        bottle.ean = QStringLiteral("8594000000001");
        bottle.displayName = name;
        Bottle back;
        QVERIFY(decodeBottle(encodeBottle(bottle).constData(), &back));
        QCOMPARE(back.displayName, readBack);
    }

    // Every row the station would store as something else is named before anything is written.
    void catalogueCheck_data()
    {
        QTest::addColumn<QString>("ean");
        QTest::addColumn<qint64>("emptyWeight");
        QTest::addColumn<qint32>("correction");
        QTest::addColumn<qint64>("volume");
        QTest::addColumn<int>("fault");
        const auto row = [](const char *name, const QString &ean, qint64 empty, qint32 correction,
                            qint64 volume, BottleFault fault) {
            QTest::newRow(name) << ean << empty << correction << volume << int(fault);
        };
        row("fits", "8594000000001", 400, 0, 700, BottleFault::None);
        row("leading zeros dropped", "0008594000000001", 400, 0, 700, BottleFault::None);
        row("largest leading part", "42949672959999", 400, 0, 700, BottleFault::None);
        row("five digits", "10000", 400, 0, 700, BottleFault::None);
        row("empty", "", 400, 0, 700, BottleFault::EmptyEan);
        row("letters", "abc12", 400, 0, 700, BottleFault::EanNotDigits);
        row("header line", "ean", 400, 0, 700, BottleFault::EanNotDigits);
        row("blank inside", "859 4000", 400, 0, 700, BottleFault::EanNotDigits);
        row("four digits", "1234", 400, 0, 700, BottleFault::EanLeadingPart);
        row("leading part zero", "00001234", 400, 0, 700, BottleFault::EanLeadingPart);
        row("leading part too large", "42949672969999", 400, 0, 700, BottleFault::EanLeadingPart);
        row("twenty digits", "12345678901234567890", 400, 0, 700, BottleFault::EanLeadingPart);
        row("weight with correction over", "8594000000001", 65530, 6, 700, BottleFault::WeightOutOfRange);
        row("weight with correction below", "8594000000001", 5, -6, 700, BottleFault::WeightOutOfRange);
        row("weight at the limit", "8594000000001", 65530, 5, 700, BottleFault::None);
        row("huge weight", "8594000000001", Q_INT64_C(9223372036854775807), -100, 700,
            BottleFault::WeightOutOfRange);
        row("volume over", "8594000000001", 400, 0, 65536, BottleFault::VolumeOutOfRange);
    }

    void catalogueCheck()
    {
        QFETCH(QString, ean);
        QFETCH(qint64, emptyWeight);
        QFETCH(qint32, correction);
        QFETCH(qint64, volume);
        QFETCH(int, fault);
        Bottle good;
        good.ean = QStringLiteral("8594000000001");
        good.emptyWeight = 400;
        good.fullWeight = 1000;
        good.volume = 700;
        Bottle bottle = good;
        bottle.ean = ean;
        bottle.emptyWeight = quint64(emptyWeight);
        bottle.weightCorrection = correction;
        bottle.volume = quint64(volume);
        const QList<CatalogueFault> faults = checkCatalogue({good, bottle, good});
        if (fault == int(BottleFault::None)) {
            QVERIFY(faults.isEmpty());
            // What fits comes back from the record as the station holds it: without leading zeros.
            Bottle back;
            QVERIFY(decodeBottle(encodeBottle(bottle).constData(), &back));
            QCOMPARE(back.ean, ean.mid(ean.indexOf(QRegularExpression(QStringLiteral("[^0]")))));
            QCOMPARE(back.emptyWeight, quint64(emptyWeight + correction));
            return;
        }
        QCOMPARE(faults.size(), 1);
        QCOMPARE(faults.at(0).row, 1);
        QCOMPARE(int(faults.at(0).fault), fault);
        const QStringList lines = describeFaults({good, bottle, good}, faults);
        QCOMPARE(lines,
                 QStringList(QStringLiteral("row 2, EAN \"%1\": %2").arg(ean, faultText(faults[0].fault))));
    }

    void textDecoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("utf-8") << QByteArray("R\xC5\xAFm\0xx", 6) << QStringLiteral("Rům");
        QTest::newRow("latin-1") << QByteArray("R\xF9m\0", 4) << QStringLiteral("Rùm");
        QTest::newRow("no zero byte") << QByteArray("ABCDE") << QStringLiteral("ABCDE");
    }

    void textDecoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeText(bytes.constData(), qMin(bytes.size(), 5)), text);
    }
};

QTEST_GUILESS_MAIN(tst_StationProtocol)
#include "tst_stationprotocol.moc"
