#include "cipher.h"
#include "database.h"
#include "diffdatabase.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
// A catalogue with every field filled, names of realistic length, distinct EANs.
QList<Bottle> catalogue(int count, int eanOffset = 0)
{
    QList<Bottle> list;
    list.reserve(count);
    const QDateTime when(QDate(2013, 5, 7), QTime(9, 5));
    for (int i = 0; i < count; ++i) {
        Bottle b;
        b.ean = QString::number(8590000000000ll + eanOffset + i);
        b.displayName = QStringLiteral("Vodka %1").arg(i);
        b.fullName = QStringLiteral("Vodka Bílá Hora 40 % edice %1").arg(i);
        b.volume = 700;
        b.fullWeight = 1186 + i % 50;
        b.emptyWeight = 520;
        b.contentWeight = 666;
        b.weightCorrection = i % 7 - 3;
        b.useInInventory = i % 3 == 0;
        b.modified = b.inserted = when.addSecs(i * 3917); // spread over years, as edits are
        list.append(b);
    }
    return list;
}
} // namespace

class bench_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void save_data();
    void save();
    void compareUpdate_data();
    void compareUpdate();
    void encrypt_data() { documentSizes(); }
    void encrypt();
    void decrypt_data() { documentSizes(); }
    void decrypt();

private:
    static void documentSizes();

    QTemporaryDir dir;
};

void bench_Catalogue::load_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("1500 bottles, budget 10 ms") << 1500;
    QTest::newRow("50000 bottles, budget 300 ms") << 50000;
}

void bench_Catalogue::documentSizes()
{
    QTest::addColumn<int>("count");
    QTest::newRow("1500 bottles") << 1500;
    QTest::newRow("50000 bottles") << 50000;
}

void bench_Catalogue::load()
{
    QFETCH(int, count);
    Database source;
    source.bottles = catalogue(count);
    const QString path = dir.filePath(QStringLiteral("load.xml"));
    QVERIFY(source.saveToFile(path));
    Database db;
    QBENCHMARK {
        db.loadFromFile(path);
    }
    QCOMPARE(db.rowCount(), count);
}

void bench_Catalogue::save_data()
{
    load_data();
}

void bench_Catalogue::save()
{
    QFETCH(int, count);
    Database db;
    db.bottles = catalogue(count);
    const QString path = dir.filePath(QStringLiteral("save.xml"));
    bool saved = false;
    QBENCHMARK {
        saved = db.saveToFile(path);
    }
    QVERIFY(saved);
}

void bench_Catalogue::compareUpdate_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("50000 against 50000, budget 200 ms") << 50000;
}

void bench_Catalogue::compareUpdate()
{
    // Half the update is known with newer, heavier bottles, half is new: every record needs a lookup.
    Database db;
    db.setBottles(catalogue(50000));
    QList<Bottle> update = catalogue(50000, 25000);
    for (Bottle &b : update) {
        b.fullWeight += 5;
        b.modified = b.modified.addYears(10);
    }
    DiffDatabase diff(nullptr, &db, Qt::white, Qt::lightGray);
    QBENCHMARK {
        diff.setUpdate(update);
    }
    QCOMPARE(diff.entries.size(), 50000);
}

void bench_Catalogue::encrypt()
{
    QFETCH(int, count);
    const QByteArray document = Database::toDocument(catalogue(count));
    QByteArray container;
    QBENCHMARK {
        encryptData(document, container);
    }
    QCOMPARE(container.size(), int(CipherContext::encryptedLength(document.size())));
}

void bench_Catalogue::decrypt()
{
    QFETCH(int, count);
    const QByteArray document = Database::toDocument(catalogue(count));
    QByteArray container;
    encryptData(document, container);
    QByteArray plain;
    QBENCHMARK {
        decryptData(container, plain);
    }
    QCOMPARE(plain, document);
}

QTEST_GUILESS_MAIN(bench_Catalogue)
#include "bench_catalogue.moc"
