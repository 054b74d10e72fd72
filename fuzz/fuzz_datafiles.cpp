// The data folder's own CSV files that the user may edit or import: the cost list (costs.csv) and the
// record of deliveries and issues (deliveries.csv). Whatever either takes holds finite numbers within its
// bounds, a refusal says why, and what it took is written again and read back to the same bytes.
#include "fuzzcheck.h"

#include "costs.h"
#include "storeledger.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QPair>
#include <QTime>

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    return 0;
}

namespace {
void checkCosts(const QByteArray &bytes)
{
    CostList list;
    QString reason;
    if (!list.parse(bytes, &reason)) {
        FUZZ_CHECK(!reason.isEmpty() && list.entries.isEmpty());
        return;
    }
    for (const Cost &cost : list.entries) {
        FUZZ_CHECK(!cost.key.isEmpty() && std::isfinite(cost.cost) && cost.cost >= 0);
        FUZZ_CHECK(!cost.hasPar || (std::isfinite(cost.par) && cost.par >= 0));
        FUZZ_CHECK(!cost.supplier.contains(QLatin1Char('\n')));
    }
    const QByteArray written = list.toCsv();
    CostList again;
    FUZZ_CHECK(again.parse(written, &reason));
    FUZZ_CHECK(again.entries.size() == list.entries.size());
    FUZZ_CHECK(again.toCsv() == written);
}

void checkLedger(const QByteArray &bytes)
{
    StoreLedger ledger;
    QString reason;
    if (!ledger.parse(bytes, &reason)) {
        FUZZ_CHECK(!reason.isEmpty() && ledger.entries.isEmpty());
        return;
    }
    for (const StoreEntry &entry : ledger.entries) {
        FUZZ_CHECK(entry.date.isValid() && !entry.key.isEmpty());
        FUZZ_CHECK(std::isfinite(entry.quantity) && entry.quantity != 0);
        FUZZ_CHECK(entry.kind != StoreEntry::Delivery || entry.quantity > 0);
        FUZZ_CHECK(!entry.hasCost || (std::isfinite(entry.cost) && entry.cost >= 0));
    }
    // In the order of the day and time they were made, an entry without a time at midday.
    const auto wallClock = [](const StoreEntry &entry) {
        return qMakePair(entry.date, entry.time.isValid() ? entry.time : QTime(12, 0));
    };
    for (int i = 1; i < ledger.entries.size(); ++i)
        FUZZ_CHECK(!(wallClock(ledger.entries.at(i)) < wallClock(ledger.entries.at(i - 1))));
    const QByteArray written = ledger.toCsv();
    StoreLedger again;
    FUZZ_CHECK(again.parse(written, &reason));
    FUZZ_CHECK(again.entries.size() == ledger.entries.size());
    FUZZ_CHECK(again.toCsv() == written);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    checkCosts(bytes);
    checkLedger(bytes);
    return 0;
}
