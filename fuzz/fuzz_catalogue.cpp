// The catalogue document's two readers. Wherever the fast reader accepts a document, the general reader must
// give the same records; whatever either gives, the writer writes and the readers read back equal.
#include "fuzzcheck.h"

#include "cataloguedocument.h"

#include <QByteArray>
#include <QDateTime>
#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Damaged documents log a line per fault; the log is not what is being tested.
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    // A fixed moment for the defaults, so that two reads of one document give equal records.
    Bottle fresh;
    fresh.modified = fresh.inserted = QDateTime(QDate(2020, 1, 1), QTime(12, 0));
    LocalTimes times;

    QList<Bottle> quick;
    QList<Bottle> general;
    DocumentDamage damage;
    const bool fast = CatalogueDocument::readCanonical(bytes, int(size), fresh, quick, times);
    CatalogueDocument::readStream(bytes, int(size), fresh, general, times, &damage);
    if (fast) {
        FUZZ_CHECK(!damage.damaged);
        FUZZ_CHECK(Fuzz::sameRecords(quick, general));
    }
    for (const Bottle &b : qAsConst(general))
        FUZZ_CHECK(Fuzz::withinBounds(b));

    // Saved and read again, the records are unchanged, and saving them again gives the same bytes. The fast
    // reader takes the program's own layout, except that it leaves every U+FFFD to the general reader, which
    // alone can tell it from bad UTF-8, and every character reference (a carriage return in a field).
    const QByteArray written = CatalogueDocument::write(general);
    QList<Bottle> reread;
    if (!CatalogueDocument::readCanonical(written.constData(), written.size(), fresh, reread, times)) {
        FUZZ_CHECK(written.contains("\xEF\xBF\xBD") || written.contains("&#"));
        CatalogueDocument::readStream(written.constData(), written.size(), fresh, reread, times, &damage);
        FUZZ_CHECK(!damage.damaged);
    }
    FUZZ_CHECK(Fuzz::sameRecords(general, reread));
    FUZZ_CHECK(CatalogueDocument::write(reread) == written);
    return 0;
}
