// The CSV import. Imported records are what the catalogue then saves: written as a catalogue document and
// read back, they must be unchanged.
#include "fuzzcheck.h"

#include <QByteArray>
#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const QList<Bottle> imported = Database::parseCsv(bytes);
    FUZZ_CHECK(imported.size() <= bytes.count('\n') + 1);
    for (const Bottle &b : imported) {
        FUZZ_CHECK(Fuzz::withinBounds(b));
        FUZZ_CHECK(b.displayName.size() <= 15);
        FUZZ_CHECK(!b.ean.contains(QLatin1Char(';')));
    }

    // Characters that no XML document can hold are left out on saving; everything else comes back.
    QList<Bottle> expected = imported;
    for (Bottle &b : expected) {
        b.ean = Fuzz::xmlText(b.ean);
        b.fullName = Fuzz::xmlText(b.fullName);
        b.displayName = Fuzz::xmlText(b.displayName);
    }
    QList<Bottle> reread;
    Database::parse(Database::toDocument(imported), reread);
    FUZZ_CHECK(Fuzz::sameRecords(expected, reread));
    return 0;
}
