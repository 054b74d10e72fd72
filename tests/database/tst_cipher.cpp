#include "cipher.h"

#include <QRegularExpression>
#include <QTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A container as the program writes it, with byte `offset` replaced by `value`.
QByteArray alteredContainer(int offset, char value)
{
    QByteArray container;
    encryptData(QByteArray("some catalogue text"), container);
    container[offset] = value;
    return container;
}
} // namespace

class tst_Cipher : public QObject
{
    Q_OBJECT

private slots:
    void publishedVectors_data();
    void publishedVectors();
    void keyLengths_data();
    void keyLengths();
    void sizesAndFlags_data();
    void sizesAndFlags();
    void shortLastBlockIsPaddedUpward();
    void roundTripEveryLength();
    void rejectedContainers_data();
    void rejectedContainers();
    void failedPadCheckKeepsData_data();
    void failedPadCheckKeepsData();
    void ecbContainerDecrypts();
    void hexRoundTrip_data();
    void hexRoundTrip();
    void hexOddDigitCount();
};

void tst_Cipher::publishedVectors_data()
{
    QTest::addColumn<bool>("cbc");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("iv");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("encrypted");

    QTest::newRow("AES-256 single block, ECB")
        << false << hex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f") << QByteArray()
        << hex("00112233445566778899aabbccddeeff") << hex("8ea2b7ca516745bfeafc49904b496089");
    QTest::newRow("CBC-AES256")
        << true << hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4")
        << hex("000102030405060708090a0b0c0d0e0f")
        << hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
               "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710")
        << hex("f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
               "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b");
}

void tst_Cipher::publishedVectors()
{
    QFETCH(bool, cbc);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, iv);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, encrypted);

    QByteArray container;
    if (cbc) {
        CipherContext context;
        QCOMPARE(context.importKey(key), CipherContext::Success);
        QCOMPARE(context.setIv(iv), CipherContext::Success);
        QCOMPARE(context.encrypt(plain, container), CipherContext::Success);
        QCOMPARE(container.mid(CipherContext::PrefixSize), encrypted);
        QCOMPARE(container.at(8), '\0');
        QCOMPARE(container.mid(16, 16), iv);
    } else {
        // The program reads ECB containers but never writes one: the header of its own, marked ECB.
        container = alteredContainer(6, char(CipherContext::Ecb | CipherContext::StepTracingOff)).left(16);
        container[8] = '\0';
        container += QByteArray(16, '\0') + encrypted;
    }

    CipherContext reader;
    QCOMPARE(reader.importKey(key), CipherContext::Success);
    QByteArray decrypted;
    QCOMPARE(reader.decrypt(container, decrypted), CipherContext::Success);
    QCOMPARE(decrypted, plain);
}

void tst_Cipher::keyLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("result");
    QTest::newRow("none") << 0 << int(CipherContext::BadArgument3);
    QTest::newRow("15") << 15 << int(CipherContext::BadArgument3);
    QTest::newRow("16") << 16 << int(CipherContext::BadArgument3);
    QTest::newRow("20") << 20 << int(CipherContext::BadArgument3);
    QTest::newRow("24") << 24 << int(CipherContext::BadArgument3);
    QTest::newRow("32") << 32 << int(CipherContext::Success);
    QTest::newRow("33") << 33 << int(CipherContext::BadArgument3);
}

void tst_Cipher::keyLengths()
{
    QFETCH(int, length);
    QFETCH(int, result);
    QCOMPARE(int(CipherContext::BadArgument3), 4);
    const QByteArray plain("a catalogue of some length");

    CipherContext reference;
    QCOMPARE(reference.importKey(CipherContext::programKey()), CipherContext::Success);
    QByteArray expected;
    QCOMPARE(reference.encrypt(plain, expected), CipherContext::Success);

    CipherContext context;
    QCOMPARE(context.importKey(CipherContext::programKey()), CipherContext::Success);
    const QByteArray key(length, '7');
    QCOMPARE(int(context.importKey(key)), result);
    QByteArray container;
    QCOMPARE(context.encrypt(plain, container), CipherContext::Success);
    // A refused key leaves the earlier one in place; an accepted one replaces it.
    QCOMPARE(container == expected, result != CipherContext::Success);

    CipherContext keyless;
    QCOMPARE(keyless.encrypt(plain, container), CipherContext::NoKey);
    QCOMPARE(keyless.decrypt(expected, container), CipherContext::NoKey);
}

void tst_Cipher::sizesAndFlags_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("containerLength");
    QTest::addColumn<int>("flags");
    QTest::newRow("0") << 0 << 32 << 0;
    QTest::newRow("1") << 1 << 48 << 1;
    QTest::newRow("15") << 15 << 48 << 1;
    QTest::newRow("16") << 16 << 48 << 0;
    QTest::newRow("17") << 17 << 64 << 1;
    QTest::newRow("32") << 32 << 64 << 0;
}

void tst_Cipher::sizesAndFlags()
{
    QFETCH(int, length);
    QFETCH(int, containerLength);
    QFETCH(int, flags);
    QByteArray container;
    QVERIFY(encryptData(QByteArray(length, 'a'), container));
    QCOMPARE(container.size(), containerLength);
    QCOMPARE(CipherContext::encryptedLength(length), qint64(containerLength));
    QCOMPARE(container.left(6), QByteArray("OAES\x01\x02"));
    QCOMPARE(container.mid(6, 2), QByteArray("\x0a\x00", 2));
    QCOMPARE(int(container.at(8)), flags);
    QCOMPARE(container.mid(9, 7), QByteArray(7, '\0'));
    QCOMPARE(container.mid(16, 16), CipherContext::programIv());
}

void tst_Cipher::shortLastBlockIsPaddedUpward()
{
    QByteArray container;
    QVERIFY(encryptData(QByteArray(17, 'a'), container));
    // Claiming no padding makes the reader hand back the pad bytes as data.
    container[8] = 0;
    QByteArray raw;
    QVERIFY(decryptData(container, raw));
    QByteArray expected(17, 'a');
    for (char i = 1; i <= 15; ++i)
        expected.append(i);
    QCOMPARE(raw, expected);
}

void tst_Cipher::roundTripEveryLength()
{
    for (int length = 0; length <= 80; ++length) {
        QByteArray plain(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            plain[i] = static_cast<char>(i * 37 + length);
        QByteArray container;
        QByteArray back;
        QVERIFY(encryptData(plain, container));
        QVERIFY2(decryptData(container, back), qPrintable(QString::number(length)));
        QCOMPARE(back, plain);
    }
}

void tst_Cipher::rejectedContainers_data()
{
    QTest::addColumn<QByteArray>("container");
    QTest::newRow("magic") << alteredContainer(0, 'X');
    QTest::newRow("version 2") << alteredContainer(4, 2);
    QTest::newRow("type 1") << alteredContainer(5, 1);
    QTest::newRow("options 0x0003") << alteredContainer(6, 3);
    QTest::newRow("options 0x0010") << alteredContainer(6, 0x10);
    QTest::newRow("options 0") << alteredContainer(6, 0);
    QTest::newRow("options high byte") << alteredContainer(7, 1);
    QTest::newRow("flags 2") << alteredContainer(8, 2);
    QTest::newRow("length not a multiple of 16") << alteredContainer(0, 'O').left(40);
    QTest::newRow("shorter than header and IV") << QByteArray("OAES\x01\x02\x0a\x00\x00", 9);
    QTest::newRow("empty") << QByteArray();
}

void tst_Cipher::rejectedContainers()
{
    QFETCH(QByteArray, container);
    QByteArray out("stale");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a valid encrypted container"));
    QVERIFY(!decryptData(container, out));
    QVERIFY(out.isEmpty());
}

void tst_Cipher::failedPadCheckKeepsData_data()
{
    QTest::addColumn<char>("lastByte");
    QTest::newRow("0x10") << char(0x10);
    QTest::newRow("0x00") << char(0x00);
    QTest::newRow("pad run broken") << char(0x02); // preceded by 0x7f, not 0x01
}

void tst_Cipher::failedPadCheckKeepsData()
{
    QFETCH(char, lastByte);
    QByteArray plain(32, '\x7f');
    plain[31] = lastByte;
    QByteArray container;
    QVERIFY(encryptData(plain, container));
    container[8] = 1;
    QByteArray out;
    QVERIFY(decryptData(container, out));
    QCOMPARE(out, plain);
}

void tst_Cipher::ecbContainerDecrypts()
{
    // ECB blocks are CBC blocks each under an IV of zeros; the program writes no ECB container itself.
    const QByteArray plain("two identical blocks ahead: 0123456789abcdef0123456789abcdef");
    QByteArray padded = plain;
    for (int i = 1; padded.size() % CipherContext::BlockSize != 0; ++i)
        padded.append(char(i));
    QByteArray container = alteredContainer(6, char(CipherContext::Ecb | CipherContext::StepTracingOff)).left(16);
    container[8] = char(padded.size() > plain.size() ? 1 : 0);
    container += QByteArray(CipherContext::BlockSize, '\0');
    for (int i = 0; i < padded.size(); i += CipherContext::BlockSize) {
        CipherContext block;
        QCOMPARE(block.importKey(CipherContext::programKey()), CipherContext::Success);
        QCOMPARE(block.setIv(QByteArray(CipherContext::BlockSize, '\0')), CipherContext::Success);
        QByteArray one;
        QCOMPARE(block.encrypt(padded.mid(i, CipherContext::BlockSize), one), CipherContext::Success);
        container += one.mid(CipherContext::PrefixSize);
    }
    QByteArray out;
    QVERIFY(decryptData(container, out));
    QCOMPARE(out, QByteArray("two identical blocks ahead: 0123456789abcdef0123456789abcdef"));
}

void tst_Cipher::hexRoundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<int>("lineLength");
    QTest::addColumn<bool>("upper");
    const QByteArray doc("<?xml version=\"1.0\"?><data><dataItem><ean>859</ean></dataItem></data>\n");
    QTest::newRow("one line") << doc << 0 << false;
    QTest::newRow("crlf every 64 digits, upper case") << doc << 64 << true;
    QTest::newRow("lf every 7 digits") << doc << 7 << false;
    QTest::newRow("exact blocks") << QByteArray(48, 'q') << 0 << false;
    QTest::newRow("empty") << QByteArray() << 0 << false;
}

void tst_Cipher::hexRoundTrip()
{
    QFETCH(QByteArray, plain);
    QFETCH(int, lineLength);
    QFETCH(bool, upper);
    QByteArray text;
    QVERIFY(encryptHexData(plain, text));
    QCOMPARE(text.size(), int(CipherContext::encryptedLength(plain.size()) - CipherContext::PrefixSize) * 2);
    if (upper)
        text = text.toUpper();
    if (lineLength > 0) {
        QByteArray broken;
        for (int i = 0; i < text.size(); i += lineLength)
            broken += text.mid(i, lineLength) + (upper ? "\r\n" : "\n");
        text = broken;
    }
    QByteArray out;
    QVERIFY(decryptHexData(text, out));
    QCOMPARE(out, plain);
}

void tst_Cipher::hexOddDigitCount()
{
    // Find a plaintext whose first encrypted byte has a leading zero digit; the sender may drop that digit.
    QByteArray plain;
    QByteArray text;
    for (int i = 0; i < 1000; ++i) {
        plain = "catalogue " + QByteArray::number(i);
        QVERIFY(encryptHexData(plain, text));
        if (text.startsWith('0'))
            break;
    }
    QVERIFY(text.startsWith('0'));
    QByteArray out;
    QVERIFY(decryptHexData(text.mid(1), out));
    QCOMPARE(out, plain);
    // Dropping a digit elsewhere shifts every pair after it, so the text no longer decrypts to the plaintext.
    QVERIFY(decryptHexData(text.left(10) + text.mid(11), out));
    QVERIFY(out != plain);
}

QTEST_GUILESS_MAIN(tst_Cipher)
#include "tst_cipher.moc"
