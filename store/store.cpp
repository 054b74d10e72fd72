#include "store.h"

#include "database.h"
#include "savefile.h"
#include "settings.h"
#include "tillcomparison.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <QVariant>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <limits>

Q_LOGGING_CATEGORY(lcStore, "store")

namespace Store {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Store", text);
}

Outcome outcome(Result result, const QString &reason = QString())
{
    return {result, reason};
}

// The options that go to the client library as they are. Only these: a typo should be told, and a value
// with a space or quote could smuggle further options in.
const QStringList passedOptions = {QStringLiteral("sslmode"),          QStringLiteral("sslrootcert"),
                                   QStringLiteral("sslcert"),          QStringLiteral("sslkey"),
                                   QStringLiteral("connect_timeout"),  QStringLiteral("application_name"),
                                   QStringLiteral("target_session_attrs")};

constexpr int statementTimeoutMs = 60000;
constexpr int lockTimeoutMs = 30000;
constexpr quint32 numberBlock = 100;
constexpr qint64 advisoryMigration = 0x51524d4c;

// The schema, one migration per version; each runs in the transaction that records its version.
const QList<QStringList> &migrations()
{
    static const QList<QStringList> all = {
        {
            QStringLiteral("CREATE SCHEMA quarmel"),
            QStringLiteral("CREATE TABLE quarmel.schema_version (version integer NOT NULL, store_id text NOT NULL, "
                           "migrated_at timestamptz NOT NULL DEFAULT now(), migrated_by text NOT NULL DEFAULT "
                           "session_user)"),
            QStringLiteral("CREATE TABLE quarmel.bar_logins (login text PRIMARY KEY, bar text NOT NULL)"),
            QStringLiteral("CREATE FUNCTION quarmel.my_bar() RETURNS text LANGUAGE sql STABLE SECURITY DEFINER "
                           "SET search_path = pg_catalog, pg_temp AS "
                           "'SELECT bar FROM quarmel.bar_logins WHERE login = session_user'"),
            QStringLiteral("CREATE TABLE quarmel.machines (bar text NOT NULL, machine text NOT NULL, host text NOT "
                           "NULL DEFAULT '', login text NOT NULL DEFAULT session_user, first_seen timestamptz NOT "
                           "NULL DEFAULT now(), last_sync timestamptz NOT NULL DEFAULT now(), PRIMARY KEY (bar, "
                           "machine))"),
            QStringLiteral("CREATE TABLE quarmel.counts (id bigserial PRIMARY KEY, bar text NOT NULL, machine text "
                           "NOT NULL, sha256 text NOT NULL, number bigint NOT NULL, period_from timestamptz, "
                           "period_to timestamptz, currency integer NOT NULL, opening boolean NOT NULL, replaces "
                           "bigint NOT NULL, alcohol numeric NOT NULL, items numeric NOT NULL, total numeric NOT "
                           "NULL, till_variance numeric, till_units numeric, sold text NOT NULL, document bytea NOT NULL, saved_by text NOT NULL DEFAULT "
                           "session_user, saved_at timestamptz NOT NULL DEFAULT now(), UNIQUE (bar, sha256))"),
            QStringLiteral("CREATE FUNCTION quarmel.counts_unchanged() RETURNS trigger LANGUAGE plpgsql AS "
                           "'BEGIN RAISE EXCEPTION ''a saved count is never changed''; END'"),
            QStringLiteral("CREATE TRIGGER counts_unchanged BEFORE UPDATE ON quarmel.counts FOR EACH ROW "
                           "EXECUTE FUNCTION quarmel.counts_unchanged()"),
            QStringLiteral("CREATE TABLE quarmel.rows (bar text NOT NULL, kind text NOT NULL, key text NOT NULL, "
                           "value text NOT NULL, revision bigint NOT NULL DEFAULT 1, modified_at timestamptz NOT "
                           "NULL DEFAULT now(), modified_by text NOT NULL DEFAULT session_user, machine text NOT "
                           "NULL, PRIMARY KEY (bar, kind, key))"),
            QStringLiteral("CREATE TABLE quarmel.row_log (id bigserial PRIMARY KEY, bar text NOT NULL, kind text "
                           "NOT NULL, key text NOT NULL, value text NOT NULL, revision bigint NOT NULL, "
                           "modified_at timestamptz NOT NULL DEFAULT now(), modified_by text NOT NULL DEFAULT "
                           "session_user, machine text NOT NULL)"),
            QStringLiteral("CREATE TABLE quarmel.number_blocks (bar text NOT NULL, machine text NOT NULL, "
                           "first_number bigint NOT NULL, last_number bigint NOT NULL, reserved_at timestamptz "
                           "NOT NULL DEFAULT now(), reserved_by text NOT NULL DEFAULT session_user, PRIMARY KEY "
                           "(bar, first_number))"),
            QStringLiteral("GRANT USAGE ON SCHEMA quarmel TO PUBLIC"),
            QStringLiteral("GRANT SELECT ON quarmel.schema_version TO PUBLIC"),
            QStringLiteral("GRANT SELECT, INSERT ON quarmel.counts, quarmel.row_log, quarmel.number_blocks TO "
                           "PUBLIC"),
            QStringLiteral("GRANT SELECT, INSERT, UPDATE ON quarmel.rows, quarmel.machines TO PUBLIC"),
            QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA quarmel TO PUBLIC"),
            QStringLiteral("REVOKE ALL ON quarmel.bar_logins FROM PUBLIC"),
        },
    };
    return all;
}

const QStringList barTables = {QStringLiteral("machines"), QStringLiteral("counts"), QStringLiteral("rows"),
                               QStringLiteral("row_log"), QStringLiteral("number_blocks")};

// Rows of every table but the owner's are the bar's of the login: the owner owns the tables, so the
// policies do not bind it.
QStringList securityStatements()
{
    QStringList statements;
    for (const QString &table : barTables) {
        statements << QStringLiteral("ALTER TABLE quarmel.%1 ENABLE ROW LEVEL SECURITY").arg(table)
                   << QStringLiteral("CREATE POLICY own_bar ON quarmel.%1 USING (bar = quarmel.my_bar()) "
                                     "WITH CHECK (bar = quarmel.my_bar())")
                          .arg(table);
    }
    return statements;
}

bool anyOf(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        if (text.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// What an error of the server or of the way to it means to the user.
Outcome fromError(const QSqlError &error, const QString &what)
{
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText().trimmed().isEmpty() ? error.text() : error.databaseText().trimmed();
    Result result = Result::Failed;
    if (code.startsWith(QLatin1String("28")) || code == QLatin1String("42501") || code == QLatin1String("3D000") ||
        code == QLatin1String("42P01") || code == QLatin1String("3F000"))
        result = Result::Refused;
    else if (code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57")) ||
             code.startsWith(QLatin1String("53")) || code == QLatin1String("55P03") ||
             code == QLatin1String("40P01"))
        result = Result::Unreachable;
    else if (!code.isEmpty())
        result = Result::Failed;
    else if (anyOf(text, {"authentication", "pg_hba.conf", "role \"", "does not exist", "permission denied",
                          "certificate", "SSL"}))
        result = Result::Refused;
    else
        result = Result::Unreachable; // a connection that failed or broke tells no code
    return outcome(result, QStringLiteral("%1: %2").arg(what, text));
}

QString sha256(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString filePath(const QString &dataFolder, const char *name)
{
    return QDir(dataFolder).filePath(QLatin1String(name));
}

QString hostName()
{
    const QString host = QHostInfo::localHostName();
    return host.isEmpty() ? QStringLiteral("unknown") : host;
}
} // namespace

// ---- where the store is -------------------------------------------------------------------------------

bool ConnectionInfo::parse(const QString &uri, ConnectionInfo *info, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QUrl url(uri.trimmed(), QUrl::StrictMode);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("postgresql") && url.scheme() != QLatin1String("postgres")))
        return refuse(QCoreApplication::translate("Store", "The store's address is no postgresql:// URI."));
    ConnectionInfo parsed;
    parsed.user = url.userName(QUrl::FullyDecoded);
    parsed.password = url.password(QUrl::FullyDecoded);
    if (!url.host().isEmpty())
        parsed.host = url.host(QUrl::FullyDecoded);
    if (url.port() != -1)
        parsed.port = url.port();
    if (parsed.port <= 0 || parsed.port > 65535)
        return refuse(QCoreApplication::translate("Store", "The store's address has no valid port."));
    parsed.database = url.path(QUrl::FullyDecoded);
    if (parsed.database.startsWith(QLatin1Char('/')))
        parsed.database.remove(0, 1);
    if (parsed.database.isEmpty() || parsed.database.contains(QLatin1Char('/')))
        return refuse(QCoreApplication::translate("Store", "The store's address names no database (postgresql://user@host/DATABASE)."));
    if (parsed.user.isEmpty())
        return refuse(QCoreApplication::translate("Store", "The store's address names no login (postgresql://LOGIN@host/database)."));
    const QUrlQuery query(url);
    const auto items = query.queryItems(QUrl::FullyDecoded);
    for (const auto &item : items) {
        if (!passedOptions.contains(item.first))
            return refuse(QCoreApplication::translate("Store", "The store's address has an unknown parameter \"%1\".").arg(item.first));
        const QString &value = item.second;
        const bool plain = !value.isEmpty() && std::all_of(value.cbegin(), value.cend(), [](QChar c) {
            return c.isPrint() && !c.isSpace() && c != QLatin1Char('\'') && c != QLatin1Char('\\') &&
                   c != QLatin1Char(';') && c != QLatin1Char('=');
        });
        if (!plain)
            return refuse(QCoreApplication::translate("Store", "The store's address has an unusable value for \"%1\".").arg(item.first));
        parsed.options.insert(item.first, value);
    }
    *info = parsed;
    return true;
}

Outcome ConnectionInfo::fromEnvironment(ConnectionInfo *info)
{
    const QString uri = qEnvironmentVariable("QUARMEL_DB");
    if (uri.trimmed().isEmpty())
        return outcome(Result::NotConfigured, QCoreApplication::translate("Store", "No store is set up: QUARMEL_DB holds no address."));
    QString reason;
    if (!parse(uri, info, &reason))
        return outcome(Result::Failed, QStringLiteral("QUARMEL_DB: ") + reason);
    return outcome(Result::Ok);
}

QString ConnectionInfo::shown() const
{
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setUserName(user);
    url.setHost(host);
    url.setPort(port);
    url.setPath(QLatin1Char('/') + database);
    QUrlQuery query;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        query.addQueryItem(it.key(), it.value());
    url.setQuery(query);
    return url.toString();
}

// ---- the connection -----------------------------------------------------------------------------------

int schemaVersion()
{
    return int(migrations().size());
}

Connection::Connection()
{
    static std::atomic<int> made{0};
    connectionName = QStringLiteral("quarmel-store-%1").arg(++made);
}

Connection::~Connection()
{
    close();
}

void Connection::close()
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(connectionName) && QSqlDatabase::database(connectionName, false).isOpen();
}

namespace {
// Creates or migrates the schema. Two programs that start on an old store at once wait for each other on
// an advisory lock, and the second finds the work done.
Outcome migrate(QSqlDatabase &db)
{
    QSqlQuery query(db);
    const auto versionNow = [&](int *version) {
        if (!query.exec(QStringLiteral("SELECT to_regclass('quarmel.schema_version') IS NOT NULL")) ||
            !query.next())
            return false;
        *version = 0;
        if (!query.value(0).toBool())
            return true;
        if (!query.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM quarmel.schema_version")) ||
            !query.next())
            return false;
        *version = query.value(0).toInt();
        return true;
    };
    int version = 0;
    if (!versionNow(&version))
        return fromError(query.lastError(), tr("Reading the store's version"));
    const auto tooNew = [&] {
        return outcome(Result::Failed, tr("The store was made by a newer version of the program (schema %1, "
                                          "this one knows %2): update the program.")
                                           .arg(version)
                                           .arg(schemaVersion()));
    };
    if (version > schemaVersion())
        return tooNew();
    if (version == schemaVersion())
        return outcome(Result::Ok);
    if (!db.transaction())
        return fromError(db.lastError(), tr("Migrating the store"));
    const auto fail = [&](const QSqlError &error) {
        const Outcome failed = fromError(error, tr("Migrating the store"));
        db.rollback();
        if (error.nativeErrorCode() == QLatin1String("42501"))
            return outcome(Result::Refused,
                           tr("The store is not set up for this version of the program yet; only the owner's "
                              "login can set it up: run quarmelctl sync once with it (%1).")
                               .arg(failed.reason));
        return failed;
    };
    if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(advisoryMigration)))
        return fail(query.lastError());
    if (!versionNow(&version))
        return fail(query.lastError());
    if (version > schemaVersion()) {
        db.rollback();
        return tooNew();
    }
    const int from = version;
    for (int next = version + 1; next <= schemaVersion(); ++next) {
        QStringList statements = migrations().at(next - 1);
        if (next == 1)
            statements += securityStatements();
        for (const QString &statement : std::as_const(statements)) {
            if (!query.exec(statement))
                return fail(query.lastError());
        }
    }
    query.prepare(QStringLiteral("INSERT INTO quarmel.schema_version (version, store_id) VALUES (?, "
                                 "coalesce((SELECT min(store_id) FROM quarmel.schema_version), ?))"));
    query.addBindValue(schemaVersion());
    query.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces));
    if (!query.exec())
        return fail(query.lastError());
    if (!db.commit())
        return fail(db.lastError());
    qCInfo(lcStore, "The store was migrated from schema %d to %d", from, schemaVersion());
    return outcome(Result::Ok);
}
} // namespace

Outcome Connection::connect(const ConnectionInfo &info)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return outcome(Result::Failed, QCoreApplication::translate("Store", "The PostgreSQL driver of Qt SQL is not installed (Debian: "
                                          "libqt6sql6-psql or libqt5sql5-psql)."));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(info.host);
    db.setPort(info.port);
    db.setDatabaseName(info.database);
    db.setUserName(info.user);
    db.setPassword(info.password);
    // A server that does not answer is given up: at the connection, and when it stops answering mid-way
    // (keepalives, and a limit on unacknowledged data), so no call waits for ever.
    QMap<QString, QString> options = info.options;
    if (!options.contains(QStringLiteral("connect_timeout")))
        options.insert(QStringLiteral("connect_timeout"), QStringLiteral("10"));
    if (!options.contains(QStringLiteral("application_name")))
        options.insert(QStringLiteral("application_name"), QStringLiteral("quarmel"));
    options.insert(QStringLiteral("keepalives"), QStringLiteral("1"));
    options.insert(QStringLiteral("keepalives_idle"), QStringLiteral("10"));
    options.insert(QStringLiteral("keepalives_interval"), QStringLiteral("5"));
    options.insert(QStringLiteral("keepalives_count"), QStringLiteral("2"));
    options.insert(QStringLiteral("tcp_user_timeout"), QStringLiteral("20000"));
    QStringList pairs;
    for (auto it = options.cbegin(); it != options.cend(); ++it)
        pairs.append(it.key() + QLatin1Char('=') + it.value());
    db.setConnectOptions(pairs.join(QLatin1Char(';')));
    const QString where = info.shown();
    if (!db.open())
        return fromError(db.lastError(), where);
    QSqlQuery query(db);
    for (const QString &statement :
         {QStringLiteral("SET statement_timeout = %1").arg(statementTimeoutMs),
          QStringLiteral("SET lock_timeout = %1").arg(lockTimeoutMs), QStringLiteral("SET TIME ZONE 'UTC'")}) {
        if (!query.exec(statement)) {
            const Outcome failed = fromError(query.lastError(), where);
                return failed;
        }
    }
    if (!query.exec(QStringLiteral("SELECT rolsuper FROM pg_catalog.pg_roles WHERE rolname = current_user")) ||
        !query.next()) {
        const Outcome failed = fromError(query.lastError(), where);
        return failed;
    }
    if (query.value(0).toBool()) {
        return outcome(Result::Refused, QCoreApplication::translate("Store", "%1: this is a superuser login; the program works with the owner's "
                                           "login or a bar's login only.")
                                            .arg(where));
    }
    Outcome migrated = migrate(db);
    if (!migrated.ok()) {
        return migrated;
    }
    if (!query.exec(QStringLiteral("SELECT pg_catalog.pg_get_userbyid(nspowner) = current_user, quarmel.my_bar() "
                                   "FROM pg_catalog.pg_namespace WHERE nspname = 'quarmel'")) ||
        !query.next()) {
        const Outcome failed = fromError(query.lastError(), where);
        return failed;
    }
    owner = query.value(0).toBool();
    bar = query.value(1).toString();
    user = info.user;
    if (!owner && bar.isEmpty()) {
        return outcome(Result::Refused, QCoreApplication::translate("Store", "%1: the login %2 belongs to no bar; the owner gives it one (see "
                                           "docs/server.md).")
                                            .arg(where, info.user));
    }
    return outcome(Result::Ok);
}

Outcome Connection::open(const ConnectionInfo &info)
{
    close();
    // Every handle of the connection is gone when connect() returns, so that it can be removed.
    const Outcome opened = connect(info);
    if (!opened.ok())
        close();
    return opened;
}

// ---- which bar a folder belongs to ----------------------------------------------------------------------

namespace {
bool writeIdentity(const QString &dataFolder, const Identity &identity, QString *reason)
{
    QByteArray bytes = "bar=" + identity.bar.toUtf8() + "\nmachine=" + identity.machine.toUtf8() +
                       "\nhost=" + identity.host.toUtf8() + '\n';
    return writeFileWhole(filePath(dataFolder, DataFile::storeIdentity), bytes, reason);
}
} // namespace

bool validBarName(const QString &bar, QString *reason)
{
    const bool ok = !bar.trimmed().isEmpty() && bar.size() <= 64 && bar == bar.trimmed() &&
                    std::none_of(bar.cbegin(), bar.cend(), [](QChar c) { return !c.isPrint(); });
    if (!ok && reason)
        *reason = tr("A bar's name is 1 to 64 printable characters, without spaces at either end.");
    return ok;
}

bool readIdentity(const QString &dataFolder, Identity *identity, QString *reason)
{
    QFile file(filePath(dataFolder, DataFile::storeIdentity));
    Identity read;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly) || file.size() > 4096) {
            if (reason)
                *reason = file.fileName() + QStringLiteral(": ") + file.errorString();
            return false;
        }
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray &line : lines) {
            const int equals = line.indexOf('=');
            if (equals <= 0)
                continue;
            const QByteArray key = line.left(equals);
            const QString value = QString::fromUtf8(line.mid(equals + 1));
            if (key == "bar")
                read.bar = value;
            else if (key == "machine")
                read.machine = value;
            else if (key == "host")
                read.host = value;
        }
        if (!read.bar.isEmpty() && !validBarName(read.bar, nullptr)) {
            if (reason)
                *reason = tr("%1 names no valid bar.").arg(QDir::toNativeSeparators(file.fileName()));
            return false;
        }
    }
    if (QUuid(read.machine).isNull()) {
        read.machine = QUuid::createUuid().toString(QUuid::WithoutBraces);
        read.host = hostName();
        if (!writeIdentity(dataFolder, read, reason))
            return false;
    }
    *identity = read;
    return true;
}

bool setBar(const QString &dataFolder, const QString &bar, QString *reason)
{
    if (!validBarName(bar, reason))
        return false;
    Identity identity;
    if (!readIdentity(dataFolder, &identity, reason))
        return false;
    if (identity.bar == bar)
        return true;
    if (!identity.bar.isEmpty()) {
        if (reason)
            *reason = tr("This data folder belongs to the bar \"%1\", not \"%2\".").arg(identity.bar, bar);
        return false;
    }
    identity.bar = bar;
    return writeIdentity(dataFolder, identity, reason);
}

// ---- rows compared one by one -------------------------------------------------------------------------

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Catalogue:
        return QStringLiteral("catalogue");
    case Kind::TillMatch:
        return QStringLiteral("till match");
    case Kind::Cost:
        return QStringLiteral("cost");
    }
    return QString();
}

namespace {
const QList<Kind> kinds = {Kind::Catalogue, Kind::TillMatch, Kind::Cost};

using Rows = QMap<QString, QString>; // key -> value; a missing key is a row that is not there

// A catalogue row as the store holds it: the catalogue document of that one record, so that every field
// (dates included) goes through the catalogue's own writer and reader.
QString catalogueValue(const Bottle &bottle)
{
    return QString::fromUtf8(Database::toDocument({bottle}));
}

bool catalogueRow(const QString &value, Bottle *bottle)
{
    QList<Bottle> list;
    DocumentDamage damage;
    Database::parse(value.toUtf8(), list, &damage);
    if (damage.damaged || list.size() != 1)
        return false;
    *bottle = list.first();
    return true;
}

// The key of each record: its EAN; a second record with one EAN (the catalogue allows it) gets "#2".
QList<QPair<QString, int>> catalogueKeys(const QList<Bottle> &bottles)
{
    QList<QPair<QString, int>> keys;
    QHash<QString, int> seen;
    for (int i = 0; i < bottles.size(); ++i) {
        const int n = ++seen[bottles.at(i).ean];
        keys.append({n == 1 ? bottles.at(i).ean : QStringLiteral("%1#%2").arg(bottles.at(i).ean).arg(n), i});
    }
    return keys;
}

QString costValue(const Cost &cost)
{
    CostList list;
    list.entries.append(cost);
    return QString::fromUtf8(list.toCsv());
}

QString shownValue(Kind kind, const QString &value)
{
    if (value.isEmpty())
        return tr("(deleted)");
    switch (kind) {
    case Kind::Catalogue: {
        Bottle bottle;
        if (!catalogueRow(value, &bottle))
            return value;
        return tr("%1: %2 ml, full %3 g, empty %4 g, correction %5 g%6")
            .arg(bottle.displayName)
            .arg(bottle.volume)
            .arg(bottle.fullWeight)
            .arg(bottle.emptyWeight)
            .arg(bottle.weightCorrection)
            .arg(bottle.useInInventory ? tr(", counted") : QString());
    }
    case Kind::TillMatch:
        return value;
    case Kind::Cost:
        return value.section(QLatin1Char('\n'), 1, 1);
    }
    return value;
}

// The folder's rows of each kind now, with what is needed to write them back.
struct LocalRows
{
    QMap<Kind, Rows> rows;
    QMap<Kind, QString> unusable; // a kind whose file could not be read: not compared this time
    QList<Bottle> bottles;
    TillMatches matches;
    CostList costs;
};

LocalRows readLocal(const QString &dataFolder)
{
    LocalRows local;
    const QString cataloguePath = filePath(dataFolder, DataFile::catalogue);
    QFile catalogue(cataloguePath);
    if (catalogue.exists()) {
        DocumentDamage damage;
        if (!catalogue.open(QIODevice::ReadOnly)) {
            local.unusable.insert(Kind::Catalogue, catalogue.errorString());
        } else {
            Database::parse(catalogue.readAll(), local.bottles, &damage);
            if (damage.damaged)
                local.unusable.insert(Kind::Catalogue, tr("the catalogue is damaged (%1)").arg(damage.toString()));
        }
    }
    Rows &bottles = local.rows[Kind::Catalogue];
    for (const auto &key : catalogueKeys(local.bottles))
        bottles.insert(key.first, catalogueValue(local.bottles.at(key.second)));

    local.matches.load(filePath(dataFolder, DataFile::tillMatches));
    Rows &matches = local.rows[Kind::TillMatch];
    for (auto it = local.matches.targets.cbegin(); it != local.matches.targets.cend(); ++it)
        matches.insert(it.key(), it.value());

    QString why;
    if (!local.costs.load(QDir(dataFolder).filePath(CostList::fileName()), &why))
        local.unusable.insert(Kind::Cost, why);
    Rows &costs = local.rows[Kind::Cost];
    for (const Cost &cost : std::as_const(local.costs.entries))
        costs.insert(cost.key, costValue(cost));
    return local;
}

// Writes the rows taken from the store into the folder's files; false with the reason when one failed.
bool writeLocal(const QString &dataFolder, Kind kind, LocalRows &local, const Rows &taken, QString *reason)
{
    switch (kind) {
    case Kind::Catalogue: {
        QHash<QString, int> rowOf;
        for (const auto &key : catalogueKeys(local.bottles))
            rowOf.insert(key.first, key.second);
        QList<int> removed;
        for (auto it = taken.cbegin(); it != taken.cend(); ++it) {
            const int row = rowOf.value(it.key(), -1);
            if (it.value().isEmpty()) {
                if (row >= 0)
                    removed.append(row);
                continue;
            }
            Bottle bottle;
            if (!catalogueRow(it.value(), &bottle)) {
                if (reason)
                    *reason = tr("the store's catalogue row %1 cannot be read").arg(it.key());
                return false;
            }
            if (row >= 0)
                local.bottles[row] = bottle;
            else
                local.bottles.append(bottle);
        }
        std::sort(removed.begin(), removed.end(), std::greater<int>());
        for (int row : std::as_const(removed))
            local.bottles.removeAt(row);
        return writeFileWhole(filePath(dataFolder, DataFile::catalogue), Database::toDocument(local.bottles),
                              reason);
    }
    case Kind::TillMatch:
        for (auto it = taken.cbegin(); it != taken.cend(); ++it) {
            if (it.value().isEmpty())
                local.matches.targets.remove(it.key());
            else
                local.matches.targets.insert(it.key(), it.value());
        }
        return local.matches.save(filePath(dataFolder, DataFile::tillMatches), reason);
    case Kind::Cost:
        for (auto it = taken.cbegin(); it != taken.cend(); ++it) {
            auto at = std::find_if(local.costs.entries.begin(), local.costs.entries.end(),
                                   [&](const Cost &cost) { return cost.key == it.key(); });
            if (it.value().isEmpty()) {
                if (at != local.costs.entries.end())
                    local.costs.entries.erase(at);
                continue;
            }
            CostList one;
            QString why;
            if (!one.parse(it.value().toUtf8(), &why) || one.entries.size() != 1) {
                if (reason)
                    *reason = tr("the store's cost of %1 cannot be read").arg(it.key());
                return false;
            }
            if (at != local.costs.entries.end())
                *at = one.entries.first();
            else
                local.costs.entries.append(one.entries.first());
        }
        return local.costs.save(QDir(dataFolder).filePath(CostList::fileName()), reason);
    }
    return false;
}

// The rows as they were at the last sync with this store and bar.
struct State
{
    QString storeId;
    QString bar;
    QMap<Kind, Rows> rows;
};

State readState(const QString &dataFolder)
{
    State state;
    QFile file(filePath(dataFolder, DataFile::storeState));
    if (!file.open(QIODevice::ReadOnly))
        return state;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    state.storeId = root.value(QStringLiteral("store")).toString();
    state.bar = root.value(QStringLiteral("bar")).toString();
    const QJsonObject rows = root.value(QStringLiteral("rows")).toObject();
    for (Kind kind : kinds) {
        const QJsonObject ofKind = rows.value(kindName(kind)).toObject();
        Rows &into = state.rows[kind];
        for (auto it = ofKind.constBegin(); it != ofKind.constEnd(); ++it)
            into.insert(it.key(), it.value().toString());
    }
    return state;
}

bool writeState(const QString &dataFolder, const State &state, QString *reason)
{
    QJsonObject rows;
    for (auto kind = state.rows.cbegin(); kind != state.rows.cend(); ++kind) {
        QJsonObject ofKind;
        for (auto it = kind.value().cbegin(); it != kind.value().cend(); ++it)
            ofKind.insert(it.key(), it.value());
        rows.insert(kindName(kind.key()), ofKind);
    }
    QJsonObject root;
    root.insert(QStringLiteral("store"), state.storeId);
    root.insert(QStringLiteral("bar"), state.bar);
    root.insert(QStringLiteral("rows"), rows);
    return writeFileWhole(filePath(dataFolder, DataFile::storeState), QJsonDocument(root).toJson(), reason);
}

// The number block of a folder, as TableFile::save reads it.
struct Block
{
    quint32 first = 0;
    quint32 last = 0;
};

Block readBlock(const QString &dataFolder)
{
    Block block;
    QFile file(filePath(dataFolder, DataFile::reservedNumbers));
    if (!file.open(QIODevice::ReadOnly))
        return block;
    const QList<QByteArray> words = file.read(64).simplified().split(' ');
    bool firstOk = false;
    bool lastOk = false;
    block.first = words.value(0).toUInt(&firstOk);
    block.last = words.value(1).toUInt(&lastOk);
    if (!firstOk || !lastOk || block.first == 0 || block.last < block.first)
        return {};
    return block;
}

quint32 keptNumber(const QString &dataFolder)
{
    QFile file(filePath(dataFolder, DataFile::tableNumber));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.read(64).simplified().split(' ').value(0).toUInt();
}

struct Server
{
    QSqlDatabase db;
    QString bar;
    QString machine;
    Outcome failure;

    // Runs a prepared statement; false with `failure` set when the server refused or went away.
    bool run(QSqlQuery &query, const QString &what)
    {
        if (query.exec())
            return true;
        failure = fromError(query.lastError(), what);
        return false;
    }
};

// Millilitres sold per EAN, "EAN<tab>ml" lines in EAN order: what the chain view needs of a count without
// reading its document.
QString soldText(const QHash<QString, qint64> &sold)
{
    QStringList eans = sold.keys();
    eans.sort();
    QString text;
    for (const QString &ean : std::as_const(eans))
        text += ean + QLatin1Char('\t') + QString::number(sold.value(ean)) + QLatin1Char('\n');
    return text;
}

QHash<QString, qint64> soldOf(const QString &text)
{
    QHash<QString, qint64> sold;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    sold.reserve(lines.size());
    for (const QString &line : lines) {
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            sold.insert(line.left(tab), line.mid(tab + 1).toLongLong());
    }
    return sold;
}

bool sendCounts(Server &server, const QString &dataFolder, const SyncOptions &options, SyncReport *report)
{
    const QDir history(History::folder(dataFolder));
    QSqlQuery query(server.db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT c.sha256, c.number, c.machine, m.host FROM quarmel.counts c LEFT JOIN "
                                 "quarmel.machines m ON m.bar = c.bar AND m.machine = c.machine WHERE c.bar = ?"));
    query.addBindValue(server.bar);
    if (!server.run(query, tr("Listing the store's counts")))
        return false;
    QSet<QString> stored;
    // Who else used a number: saved apart before the folders were joined, two machines can hold one number.
    QHash<qint64, QString> numberedBy;
    while (query.next()) {
        stored.insert(query.value(0).toString());
        if (query.value(2).toString() != server.machine) {
            const QString host = query.value(3).toString();
            numberedBy.insert(query.value(1).toLongLong(), host.isEmpty() ? query.value(2).toString() : host);
        }
    }

    QSet<QString> local;
    const QStringList names = history.entryList({QStringLiteral("*.inv")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile file(history.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            report->skippedCounts.append(name);
            continue;
        }
        const QByteArray bytes = file.readAll();
        const QString sum = sha256(bytes);
        local.insert(sum);
        if (stored.contains(sum))
            continue;
        History::Count count;
        if (!History::read(bytes, &count)) {
            report->skippedCounts.append(name);
            continue;
        }
        // One statement, one transaction: a count is in the store whole or not at all.
        QSqlQuery insert(server.db);
        insert.prepare(QStringLiteral(
            "INSERT INTO quarmel.counts (bar, machine, sha256, number, period_from, period_to, currency, "
            "opening, replaces, alcohol, items, total, till_variance, till_units, sold, document) VALUES (?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (bar, sha256) DO NOTHING"));
        insert.addBindValue(server.bar);
        insert.addBindValue(server.machine);
        insert.addBindValue(sum);
        insert.addBindValue(qint64(count.counter));
        insert.addBindValue(count.from.isValid() ? QVariant(count.from.toUTC()) : QVariant());
        insert.addBindValue(count.to.isValid() ? QVariant(count.to.toUTC()) : QVariant());
        insert.addBindValue(count.currency);
        insert.addBindValue(count.opening);
        insert.addBindValue(qint64(count.replaces));
        insert.addBindValue(QString::number(count.alcohol, 'f', 6));
        insert.addBindValue(QString::number(count.items, 'f', 6));
        insert.addBindValue(QString::number(count.total(), 'f', 6));
        insert.addBindValue(count.hasTill ? QVariant(QString::number(count.till.money, 'f', 6)) : QVariant());
        insert.addBindValue(count.hasTill ? QVariant(QString::number(count.till.units, 'f', 6)) : QVariant());
        insert.addBindValue(soldText(count.sold));
        insert.addBindValue(bytes);
        if (!server.run(insert, tr("Sending the count %1").arg(name)))
            return false;
        stored.insert(sum);
        report->sentCounts.append(name);
        const auto other = numberedBy.constFind(qint64(count.counter));
        if (other != numberedBy.cend())
            report->repeatedNumbers.append({name, *other});
        if (options.progress)
            options.progress(Step::CountSent, name);
    }

    // What other machines of the bar saved, into the history through its own road: nothing is replaced.
    query.prepare(QStringLiteral("SELECT sha256 FROM quarmel.counts WHERE bar = ?"));
    query.addBindValue(server.bar);
    if (!server.run(query, tr("Listing the store's counts")))
        return false;
    QStringList missing;
    while (query.next()) {
        const QString sum = query.value(0).toString();
        if (!local.contains(sum))
            missing.append(sum);
    }
    for (const QString &sum : std::as_const(missing)) {
        QSqlQuery fetch(server.db);
        fetch.setForwardOnly(true);
        fetch.prepare(QStringLiteral("SELECT document FROM quarmel.counts WHERE bar = ? AND sha256 = ?"));
        fetch.addBindValue(server.bar);
        fetch.addBindValue(sum);
        if (!server.run(fetch, tr("Fetching a count")))
            return false;
        if (!fetch.next())
            continue;
        const QByteArray bytes = fetch.value(0).toByteArray();
        if (sha256(bytes) != sum) {
            qCWarning(lcStore, "A count of the store does not match its checksum; not taken");
            continue;
        }
        QString why;
        QString kept;
        if (!History::keep(dataFolder, bytes, &why, &kept)) {
            server.failure = outcome(Result::Failed, tr("The history cannot keep a count of the store: %1").arg(why));
            return false;
        }
        if (!kept.isEmpty()) {
            report->fetchedCounts.append(QFileInfo(kept).fileName());
            if (options.progress)
                options.progress(Step::CountFetched, QFileInfo(kept).fileName());
        }
    }
    return true;
}

bool syncRows(Server &server, const QString &dataFolder, const QString &storeId, const SyncOptions &options,
              SyncReport *report)
{
    LocalRows local = readLocal(dataFolder);
    State base = readState(dataFolder);
    if (base.storeId != storeId || base.bar != server.bar)
        base = State(); // another store or bar: nothing is known to be shared yet
    State next = base;
    next.storeId = storeId;
    next.bar = server.bar;

    QSqlDatabase &db = server.db;
    if (!db.transaction()) {
        server.failure = fromError(db.lastError(), tr("Comparing the rows"));
        return false;
    }
    const auto fail = [&] {
        db.rollback();
        return false;
    };
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"));
    query.addBindValue(QStringLiteral("quarmel rows ") + server.bar);
    if (!server.run(query, tr("Comparing the rows")))
        return fail();
    query.prepare(QStringLiteral("SELECT kind, key, value, modified_by, machine, modified_at FROM quarmel.rows "
                                 "WHERE bar = ?"));
    query.addBindValue(server.bar);
    if (!server.run(query, tr("Comparing the rows")))
        return fail();
    struct Stored
    {
        QString value;
        QString by;
        QString machine;
        QDateTime at;
    };
    QMap<Kind, QHash<QString, Stored>> stored;
    while (query.next()) {
        const QString kind = query.value(0).toString();
        for (Kind k : kinds) {
            if (kindName(k) == kind)
                stored[k].insert(query.value(1).toString(),
                                 {query.value(2).toString(), query.value(3).toString(), query.value(4).toString(),
                                  query.value(5).toDateTime()});
        }
    }

    QMap<Kind, Rows> taken;
    QSqlQuery write(db);
    write.prepare(QStringLiteral(
        "INSERT INTO quarmel.rows AS r (bar, kind, key, value, machine) VALUES (?, ?, ?, ?, ?) ON CONFLICT (bar, "
        "kind, key) DO UPDATE SET value = excluded.value, revision = r.revision + 1, modified_at = now(), "
        "modified_by = session_user, machine = excluded.machine RETURNING revision"));
    QSqlQuery log(db);
    log.prepare(QStringLiteral("INSERT INTO quarmel.row_log (bar, kind, key, value, revision, machine) VALUES "
                               "(?, ?, ?, ?, ?, ?)"));
    for (Kind kind : kinds) {
        if (local.unusable.contains(kind)) {
            qCWarning(lcStore, "The %s rows are not compared: %s", qUtf8Printable(kindName(kind)),
                      qUtf8Printable(local.unusable.value(kind)));
            continue;
        }
        const Rows &mine = local.rows.value(kind);
        const Rows &was = base.rows.value(kind);
        const QHash<QString, Stored> &theirs = stored.value(kind);
        QSet<QString> keys;
        for (const QString &key : mine.keys())
            keys.insert(key);
        for (const QString &key : was.keys())
            keys.insert(key);
        for (auto it = theirs.cbegin(); it != theirs.cend(); ++it)
            keys.insert(it.key());
        QStringList sorted = keys.values();
        sorted.sort();
        Rows &nextRows = next.rows[kind];
        for (const QString &key : std::as_const(sorted)) {
            const QString l = mine.value(key);
            const QString b = was.value(key);
            const Stored s = theirs.value(key);
            bool send = false;
            bool take = false;
            if (l == s.value) {
            } else if (l == b) {
                take = true;
            } else if (s.value == b) {
                send = true;
            } else {
                const auto answer = std::find_if(options.resolutions.cbegin(), options.resolutions.cend(),
                                                 [&](const Resolution &r) {
                                                     return r.kind == kind && r.key == key &&
                                                            r.serverValue == s.value;
                                                 });
                if (answer == options.resolutions.cend()) {
                    report->conflicts.append({kind, key, l, s.value, shownValue(kind, l), shownValue(kind, s.value),
                                              s.by, s.machine, s.at});
                    continue;
                }
                send = answer->choice == Resolution::KeepLocal;
                take = !send;
            }
            if (send) {
                write.addBindValue(server.bar);
                write.addBindValue(kindName(kind));
                write.addBindValue(key);
                write.addBindValue(l);
                write.addBindValue(server.machine);
                if (!server.run(write, tr("Sending the rows")) || !write.next())
                    return fail();
                log.addBindValue(server.bar);
                log.addBindValue(kindName(kind));
                log.addBindValue(key);
                log.addBindValue(l);
                log.addBindValue(write.value(0).toLongLong());
                log.addBindValue(server.machine);
                if (!server.run(log, tr("Sending the rows")))
                    return fail();
                ++report->sent[kind];
            }
            if (take) {
                taken[kind].insert(key, s.value);
                ++report->taken[kind];
            }
            if (l.isEmpty() && s.value.isEmpty())
                nextRows.remove(key);
            else
                nextRows.insert(key, send ? l : s.value);
        }
    }
    if (!db.commit()) {
        server.failure = fromError(db.lastError(), tr("Sending the rows"));
        return fail();
    }
    // The store has what was sent. A row taken over that then cannot be written stays as the last sync saw
    // it, so the next sync takes it again.
    for (auto it = taken.cbegin(); it != taken.cend(); ++it) {
        QString why;
        if (!writeLocal(dataFolder, it.key(), local, it.value(), &why)) {
            for (auto row = it.value().cbegin(); row != it.value().cend(); ++row) {
                if (base.rows.value(it.key()).contains(row.key()))
                    next.rows[it.key()].insert(row.key(), base.rows.value(it.key()).value(row.key()));
                else
                    next.rows[it.key()].remove(row.key());
            }
            report->taken[it.key()] = 0;
            server.failure = outcome(Result::Failed, tr("The %1 rows of the store could not be written: %2")
                                                         .arg(kindName(it.key()), why));
        }
    }
    QString why;
    if (!writeState(dataFolder, next, &why) && server.failure.ok())
        server.failure = outcome(Result::Failed, tr("The state of the sync could not be kept: %1").arg(why));
    if (options.progress)
        options.progress(Step::RowsCompared, QString());
    return server.failure.ok();
}

bool reserveNumbers(Server &server, const QString &dataFolder, const SyncOptions &options, SyncReport *report)
{
    Block block = readBlock(dataFolder);
    const quint32 own = keptNumber(dataFolder);
    const bool fresh = block.first != 0 && own < block.first + (block.last - block.first + 1) / 2;
    if (!fresh) {
        QSqlDatabase &db = server.db;
        if (!db.transaction()) {
            server.failure = fromError(db.lastError(), tr("Reserving table numbers"));
            return false;
        }
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"));
        query.addBindValue(QStringLiteral("quarmel numbers ") + server.bar);
        bool ok = server.run(query, tr("Reserving table numbers"));
        if (ok) {
            query.prepare(QStringLiteral("SELECT greatest((SELECT max(last_number) FROM quarmel.number_blocks WHERE "
                                         "bar = ?), (SELECT max(number) FROM quarmel.counts WHERE bar = ?), 0)"));
            query.addBindValue(server.bar);
            query.addBindValue(server.bar);
            ok = server.run(query, tr("Reserving table numbers")) && query.next();
        }
        if (ok) {
            const quint64 highest = std::max<quint64>({query.value(0).toULongLong(), own,
                                                       History::highestNumber(dataFolder)});
            if (highest + numberBlock >= std::numeric_limits<quint32>::max()) {
                db.rollback();
                server.failure = outcome(Result::Failed, tr("The bar's table numbers are used up."));
                return false;
            }
            block = {quint32(highest + 1), quint32(highest + numberBlock)};
            query.prepare(QStringLiteral("INSERT INTO quarmel.number_blocks (bar, machine, first_number, "
                                         "last_number) VALUES (?, ?, ?, ?)"));
            query.addBindValue(server.bar);
            query.addBindValue(server.machine);
            query.addBindValue(qint64(block.first));
            query.addBindValue(qint64(block.last));
            ok = server.run(query, tr("Reserving table numbers"));
        }
        if (!ok) {
            db.rollback();
            return false;
        }
        if (!db.commit()) {
            server.failure = fromError(db.lastError(), tr("Reserving table numbers"));
            return false;
        }
        // A block reserved but not written down is only a gap in the numbers.
        QString why;
        if (!writeFileWhole(filePath(dataFolder, DataFile::reservedNumbers),
                            QByteArray::number(block.first) + ' ' + QByteArray::number(block.last) + '\n',
                            &why)) {
            server.failure = outcome(Result::Failed, tr("The reserved table numbers could not be kept: %1").arg(why));
            return false;
        }
        if (options.progress)
            options.progress(Step::NumbersReserved, QString());
    }
    report->reservedFirst = block.first;
    report->reservedLast = block.last;
    return true;
}
} // namespace

SyncReport sync(Connection &connection, const QString &dataFolder, const QString &barName,
                const SyncOptions &options)
{
    SyncReport report;
    if (!connection.isOpen()) {
        report.outcome = outcome(Result::Failed, tr("The store is not connected."));
        return report;
    }
    Identity identity;
    QString why;
    if (!readIdentity(dataFolder, &identity, &why)) {
        report.outcome = outcome(Result::Failed, why);
        return report;
    }
    QString bar = identity.bar.isEmpty() ? barName : identity.bar;
    if (bar.isEmpty())
        bar = connection.loginBar();
    if (bar.isEmpty()) {
        report.outcome = outcome(Result::Failed, tr("This data folder belongs to no bar yet."));
        report.barMissing = true;
        return report;
    }
    if (!identity.bar.isEmpty() && !barName.isEmpty() && barName != identity.bar) {
        report.outcome = outcome(Result::Refused, tr("This data folder belongs to the bar \"%1\", not \"%2\".")
                                                      .arg(identity.bar, barName));
        return report;
    }
    if (!connection.loginBar().isEmpty() && connection.loginBar() != bar) {
        report.outcome = outcome(Result::Refused, tr("The login %1 belongs to the bar \"%2\", this data folder "
                                                     "to \"%3\".")
                                                      .arg(connection.login(), connection.loginBar(), bar));
        return report;
    }
    if (identity.bar.isEmpty() && !setBar(dataFolder, bar, &why)) {
        report.outcome = outcome(Result::Failed, why);
        return report;
    }
    report.bar = bar;

    Server server{QSqlDatabase::database(connection.name(), false), bar, identity.machine, {}};
    QSqlQuery query(server.db);
    query.prepare(QStringLiteral("INSERT INTO quarmel.machines AS m (bar, machine, host) VALUES (?, ?, ?) ON "
                                 "CONFLICT (bar, machine) DO UPDATE SET last_sync = now(), host = excluded.host, "
                                 "login = session_user"));
    query.addBindValue(bar);
    query.addBindValue(identity.machine);
    query.addBindValue(identity.host);
    QString storeId;
    if (server.run(query, tr("Registering this machine"))) {
        query.prepare(QStringLiteral("SELECT min(store_id) FROM quarmel.schema_version"));
        if (server.run(query, tr("Reading the store")) && query.next())
            storeId = query.value(0).toString();
    }
    if (!server.failure.ok()) {
        report.outcome = server.failure;
        return report;
    }
    if (options.progress)
        options.progress(Step::Connected, bar);
    if (sendCounts(server, dataFolder, options, &report) && syncRows(server, dataFolder, storeId, options, &report))
        reserveNumbers(server, dataFolder, options, &report);
    report.outcome = server.failure;
    if (report.outcome.ok() && !report.conflicts.isEmpty())
        report.outcome = outcome(Result::Conflict, tr("Rows changed here and in the store differently: %1.")
                                                       .arg(report.conflicts.size()));
    return report;
}

QStringList SyncReport::lines() const
{
    QStringList lines;
    for (const QString &name : sentCounts)
        lines.append(QCoreApplication::translate("Store", "sent count %1").arg(name));
    for (const QString &name : fetchedCounts)
        lines.append(QCoreApplication::translate("Store", "fetched count %1").arg(name));
    for (const QString &name : skippedCounts)
        lines.append(QCoreApplication::translate("Store", "not sent, not a table: %1").arg(name));
    for (Kind kind : kinds) {
        if (sent.value(kind))
            lines.append(QCoreApplication::translate("Store", "sent %1 rows: %2").arg(kindName(kind)).arg(sent.value(kind)));
        if (taken.value(kind))
            lines.append(QCoreApplication::translate("Store", "taken %1 rows: %2").arg(kindName(kind)).arg(taken.value(kind)));
    }
    for (const Conflict &conflict : conflicts)
        lines.append(QCoreApplication::translate("Store", "conflict, %1 %2: here \"%3\", in the store \"%4\" (by %5, %6)")
                         .arg(kindName(conflict.kind), conflict.key, conflict.localText, conflict.serverText,
                              conflict.serverBy, conflict.serverAt.toString(Qt::ISODate)));
    for (const RepeatedNumber &repeated : repeatedNumbers)
        lines.append(QCoreApplication::translate("Store", "number used twice: %1 has the number of a count saved on "
                                                          "%2; both are kept")
                         .arg(repeated.count, repeated.usedOn));
    if (reservedFirst != 0)
        lines.append(QCoreApplication::translate("Store", "table numbers reserved for this folder: %1 to %2").arg(reservedFirst).arg(reservedLast));
    return lines;
}

// ---- the chain ------------------------------------------------------------------------------------------

namespace {
struct DocumentReader
{
    using result_type = History::Count;
    History::Count operator()(const QByteArray &document) const
    {
        History::Count count;
        if (!History::read(document, &count))
            count.damaged = true;
        return count;
    }
};
} // namespace

Outcome chain(Connection &connection, QList<BarCounts> *bars, ChainDetail detail)
{
    bars->clear();
    if (!connection.isOpen())
        return outcome(Result::Failed, tr("The store is not connected."));
    QSqlQuery query(QSqlDatabase::database(connection.name(), false));
    query.setForwardOnly(true);
    const QString columns = detail == ChainDetail::Documents
                                ? QStringLiteral("bar, document")
                                : QStringLiteral("bar, number, period_from, period_to, currency, opening, replaces, "
                                                 "alcohol::float8, items::float8, till_variance::float8, "
                                                 "till_units::float8, sold");
    if (!query.exec(QStringLiteral("SELECT %1 FROM quarmel.counts ORDER BY bar, period_to, number, id").arg(columns)))
        return fromError(query.lastError(), tr("Reading the bars' counts"));
    QList<QByteArray> documents;
    while (query.next()) {
        const QString bar = query.value(0).toString();
        if (bars->isEmpty() || bars->last().bar != bar)
            bars->append({bar, {}});
        History::Count count;
        if (detail == ChainDetail::Documents) {
            documents.append(query.value(1).toByteArray());
        } else {
            count.counter = quint32(query.value(1).toLongLong());
            count.from = query.value(2).toDateTime();
            count.to = query.value(3).toDateTime();
            count.currency = query.value(4).toInt();
            count.opening = query.value(5).toBool();
            count.replaces = quint32(query.value(6).toLongLong());
            count.alcohol = query.value(7).toDouble();
            count.items = query.value(8).toDouble();
            count.hasTill = !query.value(9).isNull();
            count.till.money = query.value(9).toDouble();
            count.till.units = query.value(10).toDouble();
            count.sold = soldOf(query.value(11).toString());
        }
        bars->last().counts.append(count);
    }
    if (query.lastError().isValid())
        return fromError(query.lastError(), tr("Reading the bars' counts"));
    if (detail == ChainDetail::Documents) {
        // Hundreds of megabytes of XML for a chain: every core reads some.
        const QList<History::Count> read = QtConcurrent::blockingMapped<QList<History::Count>>(documents, DocumentReader());
        int at = 0;
        for (BarCounts &bar : *bars) {
            for (History::Count &count : bar.counts)
                count = read.at(at++);
            bar.counts.erase(std::remove_if(bar.counts.begin(), bar.counts.end(),
                                            [](const History::Count &c) { return c.damaged; }),
                             bar.counts.end());
        }
    }
    for (BarCounts &bar : *bars) {
        for (History::Count &count : bar.counts)
            count.path = bar.bar + QLatin1Char('/') + History::fileName(count.to, count.counter);
        std::stable_sort(bar.counts.begin(), bar.counts.end(), [](const History::Count &a, const History::Count &b) {
            return History::fileName(a.to, a.counter) < History::fileName(b.to, b.counter);
        });
        QHash<quint32, quint32> correctedBy;
        for (const History::Count &count : std::as_const(bar.counts)) {
            if (count.replaces != 0 && count.replaces != count.counter)
                correctedBy.insert(count.replaces, std::max(correctedBy.value(count.replaces), count.counter));
        }
        for (History::Count &count : bar.counts)
            count.replacedBy = correctedBy.value(count.counter);
    }
    return outcome(Result::Ok);
}

Outcome chainCosts(Connection &connection, QHash<QString, CostList> *costs, QHash<QString, quint64> *volumes)
{
    costs->clear();
    if (volumes)
        volumes->clear();
    if (!connection.isOpen())
        return outcome(Result::Failed, tr("The store is not connected."));
    QSqlQuery query(QSqlDatabase::database(connection.name(), false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT bar, value FROM quarmel.rows WHERE kind = 'cost' AND value <> '' "
                                   "ORDER BY bar, key")))
        return fromError(query.lastError(), tr("Reading the bars' costs"));
    while (query.next()) {
        CostList one;
        QString why;
        if (one.parse(query.value(1).toString().toUtf8(), &why))
            (*costs)[query.value(0).toString()].merge(one);
    }
    if (!volumes)
        return outcome(Result::Ok);
    if (!query.exec(QStringLiteral("SELECT value FROM quarmel.rows WHERE kind = 'catalogue' AND value <> '' "
                                   "ORDER BY bar, key")))
        return fromError(query.lastError(), tr("Reading the bars' catalogues"));
    while (query.next()) {
        Bottle bottle;
        if (catalogueRow(query.value(0).toString(), &bottle) && bottle.volume > 0 && !volumes->contains(bottle.ean))
            volumes->insert(bottle.ean, bottle.volume);
    }
    return outcome(Result::Ok);
}

} // namespace Store
