#include "passwordstore.h"

#include "savefile.h"
#include "settings.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSettings>

#ifdef QUARMEL_HAVE_KEYCHAIN
#include QUARMEL_KEYCHAIN_HEADER
#endif

#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcPasswordStore, "passwordstore")

namespace {
const char service[] = "Quarmel Inventory";

QJsonObject fileEntries()
{
    QFile file(PasswordStore::filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A few short entries; anything large is no file of ours.
    const QByteArray bytes = file.read(64 * 1024);
    return QJsonDocument::fromJson(bytes).object();
}
} // namespace

QString PasswordStore::filePath()
{
    const QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/Quarmel-server-password.json");
}

bool PasswordStore::keyringAvailable()
{
#ifdef QUARMEL_HAVE_KEYCHAIN
    if (qEnvironmentVariableIntValue("QUARMEL_NO_KEYRING") == 1)
        return false;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a session bus the keyring library would try to start one of its own, and wait for it.
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
#else
    return true;
#endif
#else
    return false;
#endif
}

bool PasswordStore::readFile(const QString &key, QString *password)
{
    const QJsonValue value = fileEntries().value(key);
    if (!value.isString())
        return false;
    if (password)
        *password = value.toString();
    return true;
}

bool PasswordStore::writeFile(const QString &key, const QString &password, QString *reason)
{
    QJsonObject entries = fileEntries();
    if (password.isEmpty() && !entries.contains(key))
        return true;
    if (password.isEmpty())
        entries.remove(key);
    else
        entries.insert(key, password);
    const QString path = filePath();
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    // The file must never exist with wider rights, not even for a moment: it is made empty with 0600 before
    // anything is written, and the whole write keeps the rights of the file it replaces.
    if (!QFileInfo::exists(path)) {
        if (::access(folder.constData(), F_OK) != 0 && !QFileInfo(path).absoluteDir().mkpath(QStringLiteral(".")))
            qCWarning(lcPasswordStore, "Unable to make the settings folder");
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    if (!QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (reason)
            *reason = tr("The password file could not be made readable for you alone.");
        return false;
    }
    return writeFileWhole(path, QJsonDocument(entries).toJson(QJsonDocument::Compact), reason);
}

void PasswordStore::read(const QString &key)
{
#ifdef QUARMEL_HAVE_KEYCHAIN
    if (keyringAvailable()) {
        auto *job = new QKeychain::ReadPasswordJob(QString::fromLatin1(service), this);
        job->setKey(key);
        connect(job, &QKeychain::Job::finished, this, [this, key](QKeychain::Job *finished) {
            auto *read = static_cast<QKeychain::ReadPasswordJob *>(finished);
            if (read->error() == QKeychain::NoError) {
                emit readFinished(key, true, read->textData());
                return;
            }
            if (read->error() != QKeychain::EntryNotFound)
                qCDebug(lcPasswordStore, "Keyring not read: %s", qUtf8Printable(read->errorString()));
            QString password;
            const bool found = readFile(key, &password);
            emit readFinished(key, found, password);
        });
        job->start();
        return;
    }
#endif
    QString password;
    const bool found = readFile(key, &password);
    emit readFinished(key, found, password);
}

void PasswordStore::write(const QString &key, const QString &password)
{
#ifdef QUARMEL_HAVE_KEYCHAIN
    if (keyringAvailable()) {
        QKeychain::Job *job = nullptr;
        if (password.isEmpty()) {
            auto *remove = new QKeychain::DeletePasswordJob(QString::fromLatin1(service), this);
            job = remove;
        } else {
            auto *write = new QKeychain::WritePasswordJob(QString::fromLatin1(service), this);
            write->setTextData(password);
            job = write;
        }
        job->setKey(key);
        connect(job, &QKeychain::Job::finished, this, [this, key, password](QKeychain::Job *finished) {
            QString reason;
            const bool removing = password.isEmpty();
            if (finished->error() == QKeychain::NoError ||
                (removing && finished->error() == QKeychain::EntryNotFound)) {
                // A copy left in the file from a run without the keyring would outlive the keyring's.
                const bool ok = writeFile(key, QString(), &reason);
                emit writeFinished(key, ok, reason);
                return;
            }
            qCDebug(lcPasswordStore, "Keyring not written: %s", qUtf8Printable(finished->errorString()));
            const bool ok = writeFile(key, password, &reason);
            emit writeFinished(key, ok, reason);
        });
        job->start();
        return;
    }
#endif
    QString reason;
    const bool ok = writeFile(key, password, &reason);
    emit writeFinished(key, ok, reason);
}
