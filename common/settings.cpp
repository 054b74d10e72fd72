#include "settings.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

Q_LOGGING_CATEGORY(lcSettings, "settings")

namespace {
const QString organisation = QString::fromLatin1(organisationName);
const QString application = QString::fromLatin1(applicationName);

int currentCurrency = Settings::CZK;

bool usableFolder(const QString &path)
{
    QDir dir(path);
    if (!dir.exists() && !dir.mkpath(dir.absolutePath()))
        return false;
    // A folder can exist and still refuse files (the system-wide one for an ordinary user); only an actual
    // write tells.
    QTemporaryFile probe(dir.absoluteFilePath(QStringLiteral("probe-XXXXXX")));
    return probe.open();
}

QString dataFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("QUARMEL_DATA_DIR");
    if (!fromEnvironment.isEmpty()) {
        QDir dir(fromEnvironment);
        if (!dir.exists() && !dir.mkpath(dir.absolutePath()))
            qCWarning(lcSettings, "local data folder cannot be created");
        return dir.absolutePath();
    }

    const QSettings systemSettings(QSettings::IniFormat, QSettings::SystemScope, organisation, application);
    const QString iniFile = systemSettings.fileName();
    const QString iniName = application + QStringLiteral(".ini");
    QString systemFolder = iniFile;
    if (iniFile.endsWith(iniName))
        systemFolder.chop(iniName.size());
    else
        systemFolder = QFileInfo(iniFile).absolutePath();
    if (usableFolder(systemFolder))
        return QDir(systemFolder).absolutePath();

    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!fallback.isEmpty() && usableFolder(fallback))
        return QDir(fallback).absolutePath();
    qCWarning(lcSettings, "local data folder cannot be created");
    return QDir(fallback.isEmpty() ? systemFolder : fallback).absolutePath();
}
} // namespace

QString localFilePath(const QString &name)
{
    // The folder is made once, at the first use. One that goes away later (deleted, an unplugged disk, a
    // share gone) is not made again: an empty new folder would take the saves while the catalogue and the
    // history are gone, and nobody would notice; the write fails with its reason instead.
    static QString establishedFor;
    static QString established;
    const QString source = qEnvironmentVariable("QUARMEL_DATA_DIR");
    if (!established.isEmpty() && establishedFor == source && !QFileInfo(established).isDir()) {
        qCWarning(lcSettings, "local data folder %s is gone; it is not made again",
                  qUtf8Printable(established));
        return established + QLatin1Char('/') + name;
    }
    established = dataFolder();
    establishedFor = source;
    return established + QLatin1Char('/') + name;
}

QString rememberedFolder(const QString &key)
{
    const QSettings settings(organisation, application);
    const QString stored = settings.value(key).toString();
    if (!stored.isNull())
        return stored;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void setRememberedFolder(const QString &key, const QString &folder)
{
    QSettings settings(organisation, application);
    settings.setValue(key, folder);
}

int fullWeightTolerance()
{
    const QSettings settings(organisation, application);
    bool ok = false;
    const int grams = settings.value(QStringLiteral("fullWeightTolerance")).toInt(&ok);
    // A hand-edited value out of any sensible range would hide every flag or raise one on each bottle.
    return ok && grams >= 0 && grams <= 1000 ? grams : 15;
}

void setFullWeightTolerance(int grams)
{
    QSettings settings(organisation, application);
    settings.setValue(QStringLiteral("fullWeightTolerance"), grams);
}

int Settings::currency()
{
    return currentCurrency;
}

void Settings::setCurrency(int currency)
{
    currentCurrency = currency;
}

QString Settings::currencyName()
{
    return currencyName(currentCurrency);
}

QString Settings::currencyUnit()
{
    return currencyUnit(currentCurrency);
}

QString Settings::currencyCode(int currency)
{
    switch (currency) {
    case CZK:
        return QStringLiteral("CZK");
    case EUR:
        return QStringLiteral("EUR");
    default:
        return QString();
    }
}

int Settings::currencyOfCode(const QString &code)
{
    if (code == QLatin1String("CZK"))
        return CZK;
    if (code == QLatin1String("EUR"))
        return EUR;
    return -1;
}

QString Settings::currencyName(int currency)
{
    switch (currency < 0 ? currentCurrency : currency) {
    case CZK:
        return tr("CZK");
    case EUR:
        return tr("EUR");
    default:
        return QString();
    }
}

QString Settings::currencyUnit(int currency)
{
    switch (currency < 0 ? currentCurrency : currency) {
    case CZK:
        return tr("\n[CZK]");
    case EUR:
        return tr("\n[EUR]");
    default:
        return QString();
    }
}
