#include "fileprompt.h"

#include "interaction.h"
#include "settings.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFilePrompt, "fileprompt")

namespace FilePrompt {

QString ask(QWidget *parent, const QString &title, const char *key, const QString &proposedName,
            const QString &filter, bool save, QString *folder)
{
    QString startPath = rememberedFolder(QLatin1String(key));
    if (!proposedName.isEmpty())
        startPath += QLatin1Char('/') + proposedName;
    return Interaction::instance()->fileDialog(parent, title, startPath, filter, save, folder);
}

void reportSaveFailure(QWidget *parent, const QString &reason)
{
    qCWarning(lcFilePrompt) << "Failed to save file:" << reason;
    QString text = QCoreApplication::translate("MainWindow", "Failed to save file");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    Interaction::instance()->message(parent, Interaction::Icon::Critical,
                                     QCoreApplication::translate("MainWindow", "Unable to save"), text);
}

bool exportTo(QWidget *parent, const QString &title, const char *key, const QString &proposedName,
              const QString &filter, const std::function<bool(const QString &, QString *)> &write)
{
    QString folder;
    const QString fileName = ask(parent, title, key, proposedName, filter, true, &folder);
    if (fileName.isEmpty())
        return false;
    QString reason;
    if (!write(fileName, &reason)) {
        reportSaveFailure(parent, reason);
        return false;
    }
    setRememberedFolder(QLatin1String(key), folder);
    return true;
}

} // namespace FilePrompt
