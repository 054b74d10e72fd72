#pragma once

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>

#include <unistd.h>

// A PostgreSQL cluster of Debian's server made for one test run: initdb in a temporary folder, listening on
// 127.0.0.1 only, on a free port, with its socket in that folder. Run as `nobody` when the tests run as root,
// as the server refuses to run as root.
class PgServer
{
public:
    static constexpr char superuser[] = "quarmel_admin";

    // The newest installed server's binaries, or empty.
    static QString binaries()
    {
        const QStringList versions =
            QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QString best;
        int bestVersion = -1;
        for (const QString &version : versions) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(version);
            if (version.toInt() > bestVersion && QFile::exists(bin + QStringLiteral("/initdb"))) {
                best = bin;
                bestVersion = version.toInt();
            }
        }
        return best;
    }

    // Makes and starts the cluster; false with `error` set.
    bool start(QString *error)
    {
        bin = binaries();
        if (bin.isEmpty() || !folder.isValid()) {
            *error = QStringLiteral("no PostgreSQL server binaries under /usr/lib/postgresql/*/bin");
            return false;
        }
        asNobody = geteuid() == 0;
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                                 QFileDevice::ExeOther);
        QDir(folder.path()).mkdir(QStringLiteral("pg"));
        QDir(folder.path()).mkdir(QStringLiteral("sock"));
        if (asNobody &&
            !run(QStringLiteral("chown"), {QStringLiteral("nobody:nogroup"), dataDir(), socketDir()}, error, false))
            return false;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        probe.close();
        return run(bin + QStringLiteral("/initdb"),
                   {QStringLiteral("-D"), dataDir(), QStringLiteral("-U"), QLatin1String(superuser),
                    QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
                    QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-locale")},
                   error) &&
               startAgain(error);
    }

    bool startAgain(QString *error)
    {
        return run(bin + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), dataDir(), QStringLiteral("-l"), socketDir() + QStringLiteral("/log"),
                    QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"),
                    QStringLiteral("-c listen_addresses=127.0.0.1 -c port=%1 -c unix_socket_directories=%2 "
                                   "-c fsync=off")
                        .arg(port)
                        .arg(socketDir()),
                    QStringLiteral("start")},
                   error);
    }

    // Stops at once, as a crash or a pulled cable would leave the clients.
    bool stop(QString *error = nullptr)
    {
        QString ignored;
        return run(bin + QStringLiteral("/pg_ctl"),
                   {QStringLiteral("-D"), dataDir(), QStringLiteral("-m"), QStringLiteral("immediate"),
                    QStringLiteral("-w"), QStringLiteral("stop")},
                   error ? error : &ignored);
    }

    ~PgServer()
    {
        if (port != 0)
            stop();
    }

    // Runs SQL as the cluster's superuser through its socket, in `database`.
    bool admin(const QStringList &statements, QString *error, const QString &database = QStringLiteral("postgres"))
    {
        const QString name = QStringLiteral("pgserver-admin");
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(socketDir());
            db.setPort(port);
            db.setUserName(QLatin1String(superuser));
            db.setDatabaseName(database);
            if (!db.open()) {
                *error = db.lastError().text();
                ok = false;
            }
            QSqlQuery query(db);
            for (const QString &statement : statements) {
                if (ok && !query.exec(statement)) {
                    *error = statement + QStringLiteral(": ") + query.lastError().text();
                    ok = false;
                }
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }

    QString uri(const QString &login, const QString &password, const QString &database) const
    {
        return QStringLiteral("postgresql://%1:%2@127.0.0.1:%3/%4?connect_timeout=5")
            .arg(login, password)
            .arg(port)
            .arg(database);
    }

    int port = 0;

private:
    QString dataDir() const { return folder.filePath(QStringLiteral("pg")); }
    QString socketDir() const { return folder.filePath(QStringLiteral("sock")); }

    bool run(const QString &program, const QStringList &args, QString *error, bool unprivileged = true)
    {
        QProcess process;
        if (asNobody && unprivileged)
            process.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=nobody"),
                                                                  QStringLiteral("--regid=nogroup"),
                                                                  QStringLiteral("--clear-groups"), program} +
                                                         args);
        else
            process.start(program, args);
        if (!process.waitForFinished(90000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAllStandardError()) +
                     QString::fromLocal8Bit(process.readAllStandardOutput());
            return false;
        }
        return true;
    }

    QTemporaryDir folder;
    QString bin;
    bool asNobody = false;
};
