#include "catalogueupdate.h"

#include "cipher.h"
#include "database.h"
#include "settings.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSettings>

Q_LOGGING_CATEGORY(lcCatalogueUpdate, "catalogueupdate")

namespace CatalogueUpdate {

namespace {
const char defaultUrl[] = "https://update.quarmel.eu/catalogue/database70.hex";
const char tooLargeProperty[] = "quarmelTooLarge";
} // namespace

QUrl url()
{
    const QString fromEnvironment = qEnvironmentVariable("QUARMEL_UPDATE_URL");
    if (!fromEnvironment.isEmpty())
        return QUrl(fromEnvironment);
    const QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    const QString fromSettings = settings.value(QStringLiteral("updateUrl")).toString();
    return QUrl(fromSettings.isEmpty() ? QString::fromLatin1(defaultUrl) : fromSettings);
}

QNetworkReply *get(QNetworkAccessManager *manager)
{
    QNetworkReply *reply = manager->get(QNetworkRequest(url()));
    // Stop a reply that outgrows any catalogue as soon as it does, rather than holding it all in memory.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > maxReplyBytes || total > maxReplyBytes) {
            reply->setProperty(tooLargeProperty, true);
            reply->abort();
        }
    });
    return reply;
}

Result read(QNetworkReply *reply, QList<Bottle> *bottles)
{
    bottles->clear();
    const bool tooLarge =
        reply->property(tooLargeProperty).toBool() || reply->bytesAvailable() > maxReplyBytes;
    // Checked first: the reply was stopped on purpose, and the error that leaves says nothing of why.
    if (tooLarge) {
        qCWarning(lcCatalogueUpdate) << "Database download too large:" << reply->url().toString();
        return Result::TooLarge;
    }
    if (reply->error() != QNetworkReply::NoError) {
        qCWarning(lcCatalogueUpdate) << "Database download failed:" << reply->errorString();
        return Result::DownloadFailed;
    }
    QByteArray document;
    if (!decryptHexData(reply->read(maxReplyBytes), document))
        return Result::Damaged;
    DocumentDamage damage;
    Database::parse(document, *bottles, &damage);
    if (damage.damaged) {
        // Half an update would look like a whole one in the comparison; nothing of it is offered.
        qCWarning(lcCatalogueUpdate) << "Database update damaged:" << damage.toString();
        bottles->clear();
        return Result::Damaged;
    }
    return Result::Ok;
}

} // namespace CatalogueUpdate
