#include "serverconnection.h"

#include "settings.h"

#include <QSettings>

namespace {
const char group[] = "server";
} // namespace

ServerConnection ServerConnection::load()
{
    QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    settings.beginGroup(QLatin1String(group));
    ServerConnection connection;
    connection.host = settings.value(QStringLiteral("host")).toString().trimmed();
    bool ok = false;
    const int port = settings.value(QStringLiteral("port")).toInt(&ok);
    // A hand-edited port out of range would only ever give "unreachable" with no hint why.
    if (ok && port > 0 && port <= 65535)
        connection.port = port;
    connection.database = settings.value(QStringLiteral("database")).toString().trimmed();
    connection.login = settings.value(QStringLiteral("login")).toString().trimmed();
    return connection;
}

void ServerConnection::save() const
{
    QSettings settings(QString::fromLatin1(organisationName), QString::fromLatin1(applicationName));
    settings.beginGroup(QLatin1String(group));
    settings.setValue(QStringLiteral("host"), host);
    settings.setValue(QStringLiteral("port"), port);
    settings.setValue(QStringLiteral("database"), database);
    settings.setValue(QStringLiteral("login"), login);
}

Store::ConnectionInfo ServerConnection::info(const QString &password) const
{
    Store::ConnectionInfo info;
    info.host = host;
    info.port = port;
    info.database = database;
    info.user = login;
    info.password = password;
    return info;
}

QString ServerConnection::passwordKey() const
{
    return QStringLiteral("%1@%2:%3/%4").arg(login, host, QString::number(port), database);
}
