#include "commands.h"

#include "cataloguereader.h"
#include "cipher.h"
#include "database.h"
#include "diffdatabase.h"
#include "savefile.h"

#include <QFile>
#include <QLoggingCategory>

#include <cstdio>

namespace {
int fail(const QString &message)
{
    std::fprintf(stderr, "quarmelctl catalogue: %s\n", qUtf8Printable(message));
    return ExitFailure;
}

int usageError()
{
    std::fprintf(stderr, "usage:\n%s", qUtf8Printable(catalogueUsage()));
    return ExitUsage;
}

// "-" writes to standard output; anything else is written whole or not at all, so a failed write keeps the
// old file. An empty `error` means the data folder is another program's (already said on standard error).
bool writeOutput(const QString &path, const QByteArray &bytes, QString *error)
{
    if (path == QLatin1String("-")) {
        QFile out;
        if (out.open(stdout, QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush())
            return true;
        *error = QStringLiteral("cannot write to standard output");
        return false;
    }
    if (!holdDataFolderFor(QStringLiteral("catalogue"), path)) {
        *error = QString();
        return false;
    }
    QString reason;
    if (!writeFileWhole(path, bytes, &reason)) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool onlyHexText(const QByteArray &bytes)
{
    bool anyDigit = false;
    for (char c : bytes) {
        const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!digit && c != ' ' && c != '\r' && c != '\n' && c != '\t')
            return false;
        anyDigit = anyDigit || digit;
    }
    return anyDigit;
}

// A catalogue as given: plain (a document or a CSV import file, told apart by content), an encrypted
// container, or the update server's hex text.
bool readCatalogue(const QString &path, QList<Bottle> *list, QString *error)
{
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    if (bytes.startsWith("OAES")) {
        QByteArray plain;
        if (!decryptData(bytes, plain)) {
            *error = QStringLiteral("%1: not a valid encrypted catalogue").arg(path);
            return false;
        }
        bytes = plain;
    } else if (onlyHexText(bytes)) {
        QByteArray plain;
        if (!decryptHexData(bytes, plain)) {
            *error = QStringLiteral("%1: not a valid encrypted catalogue").arg(path);
            return false;
        }
        bytes = plain;
    }
    QString reason;
    if (!CatalogueReader::read(bytes, list, &reason)) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return false;
    }
    return true;
}

using Transform = bool (*)(const QByteArray &, QByteArray &);

enum class Direction { Encrypt, Decrypt };

// A decryption that yields nothing has no catalogue to give, so it counts as a failure; so does encrypting
// nothing, whose hex text would be empty and whose container the decryption refuses.
int transformFile(const QStringList &args, Transform transform, const char *what, Direction direction)
{
    if (args.size() != 2)
        return usageError();
    QByteArray in;
    QString error;
    if (!readFile(args.at(0), &in, &error))
        return fail(error);
    if (in.isEmpty() && direction == Direction::Encrypt)
        return fail(QStringLiteral("%1: the file is empty, there is nothing to encrypt").arg(args.at(0)));
    QByteArray out;
    if (!transform(in, out))
        return fail(QStringLiteral("%1: %2").arg(args.at(0), QLatin1String(what)));
    if (direction == Direction::Decrypt && out.isEmpty())
        return fail(QStringLiteral("%1: the container holds no data").arg(args.at(0)));
    if (!writeOutput(args.at(1), out, &error))
        return error.isEmpty() ? ExitBusy : fail(error);
    return ExitOk;
}

bool decryptHexStrict(const QByteArray &in, QByteArray &out)
{
    // Text without hex digits would "decrypt" to nothing, which is no catalogue.
    return onlyHexText(in) && decryptHexData(in, out);
}

int importCsv(const QStringList &args)
{
    if (args.size() != 2)
        return usageError();
    QByteArray bytes;
    QString error;
    if (!readFile(args.at(0), &bytes, &error))
        return fail(error);
    QList<Bottle> list;
    if (!CatalogueReader::read(bytes, &list, &error))
        return fail(QStringLiteral("%1: %2").arg(args.at(0), error));
    if (list.isEmpty())
        return fail(QStringLiteral("%1: no line with six fields").arg(args.at(0)));
    // A mistyped code is imported all the same (it may be a shop's own), but never without a word.
    for (const QString &line : Database::checkDigitWarnings(list))
        std::fprintf(stderr, "quarmelctl catalogue: warning: %s\n", qUtf8Printable(line));
    if (!writeOutput(args.at(1), Database::toDocument(list), &error))
        return error.isEmpty() ? ExitBusy : fail(error);
    std::fprintf(stderr, "%d bottles\n", int(list.size()));
    return ExitOk;
}

// Loads both catalogues and compares them; false after printing why.
bool compare(const QString &localPath, const QString &updatePath, Database *local, DiffDatabase *diff,
             int *code)
{
    QString error;
    QList<Bottle> bottles;
    QList<Bottle> update;
    if (!readCatalogue(localPath, &bottles, &error) || !readCatalogue(updatePath, &update, &error)) {
        *code = fail(error);
        return false;
    }
    local->setBottles(bottles);
    diff->setUpdate(update);
    return true;
}

int diffCatalogues(const QStringList &args)
{
    if (args.size() != 2)
        return usageError();
    Database local;
    DiffDatabase diff(nullptr, &local, Qt::white, Qt::lightGray);
    int code = ExitOk;
    if (!compare(args.at(0), args.at(1), &local, &diff, &code))
        return code;
    for (const DiffEntry &entry : qAsConst(diff.entries)) {
        const bool known = local.findByEan(entry.updated.ean) != nullptr;
        std::fprintf(stdout, "%s;%llu;%llu;%s\n", qUtf8Printable(entry.updated.ean),
                     static_cast<unsigned long long>(entry.current.fullWeight),
                     static_cast<unsigned long long>(entry.updated.fullWeight), known ? "changed" : "new");
    }
    return ExitOk;
}

int applyUpdate(const QStringList &args)
{
    if (args.size() != 3)
        return usageError();
    Database local;
    DiffDatabase diff(nullptr, &local, Qt::white, Qt::lightGray);
    int code = ExitOk;
    if (!compare(args.at(0), args.at(1), &local, &diff, &code))
        return code;
    const int applied = diff.applyUpdate();
    // An update may bring the EAN-13 form of a UPC-A code the catalogue holds: one bottle to the station.
    const QStringList same = Database::sameStationEans(local.bottles);
    if (!same.isEmpty())
        return fail(QStringLiteral("the result would hold rows the station keeps as one EAN, nothing was "
                                   "written: %1")
                        .arg(same.join(QStringLiteral("; "))));
    QString error;
    if (!writeOutput(args.at(2), Database::toDocument(local.bottles), &error))
        return error.isEmpty() ? ExitBusy : fail(error);
    std::fprintf(stderr, "%d changes applied, %d bottles\n", applied, local.rowCount());
    return ExitOk;
}
} // namespace

QString catalogueUsage()
{
    return QStringLiteral(
        "  catalogue encrypt IN OUT            wrap a file in the encrypted container\n"
        "  catalogue decrypt IN OUT            unwrap an encrypted container\n"
        "  catalogue encrypt-hex IN OUT        hex text of the encrypted blocks, as the update server sends\n"
        "  catalogue decrypt-hex IN OUT        decrypt such hex text\n"
        "  catalogue import-csv IN.csv OUT.xml write a catalogue document from a CSV import file\n"
        "  catalogue diff LOCAL UPDATE         lines of ean;current weight;updated weight;new|changed\n"
        "  catalogue apply LOCAL UPDATE OUT    take every offered change over and write the result\n"
        "  (OUT may be - for standard output; LOCAL and UPDATE may be XML, encrypted or hex text)\n");
}

int runCatalogueCommand(const QStringList &args)
{
    // The import logs every record at debug level; QT_LOGGING_RULES still wins when set.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    if (args.isEmpty())
        return usageError();
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("encrypt"))
        return transformFile(rest, encryptData, "encryption failed", Direction::Encrypt);
    if (command == QLatin1String("decrypt"))
        return transformFile(rest, decryptData, "not a valid encrypted container", Direction::Decrypt);
    if (command == QLatin1String("encrypt-hex"))
        return transformFile(rest, encryptHexData, "encryption failed", Direction::Encrypt);
    if (command == QLatin1String("decrypt-hex"))
        return transformFile(rest, decryptHexStrict, "not hex text of an encrypted catalogue",
                             Direction::Decrypt);
    if (command == QLatin1String("import-csv"))
        return importCsv(rest);
    if (command == QLatin1String("diff"))
        return diffCatalogues(rest);
    if (command == QLatin1String("apply"))
        return applyUpdate(rest);
    return usageError();
}
