// The index of the history: a cache the program writes itself, guarded by a checksum against damage but not
// against a crafted file. The harness signs each input as the program would, so that every input reaches the
// reader behind the checksum; no count it claims may cost more than the file holds, and the list is always
// the counts of the table files that are there.
#include "fuzzcheck.h"
#include "history.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

namespace {
QString dataFolder;
QString indexPath;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    static QTemporaryDir folder;
    dataFolder = folder.path();
    const QDir history(History::folder(dataFolder));
    if (!history.mkpath(QStringLiteral(".")))
        std::abort();
    indexPath = history.filePath(QStringLiteral(".index"));
    // One table that is no table: listed as damaged unless an entry of the index stands for it.
    QFile table(history.filePath(QStringLiteral("inv_01_2026-01-31_23-00.inv")));
    if (!table.open(QIODevice::WriteOnly) || table.write("<inventory/>") != 12)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray payload(reinterpret_cast<const char *>(data), int(size));
    QFile index(indexPath);
    const QByteArray signedIndex = payload + QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
    FUZZ_CHECK(index.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               index.write(signedIndex) == signedIndex.size());
    index.close();
    const QList<History::Count> counts = History::list(dataFolder);
    FUZZ_CHECK(counts.size() == 1);
    return 0;
}
