#include "fileprompt.h"

#include "interaction.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFilePrompt, "fileprompt")

namespace FilePrompt {

QString ask(QWidget *parent, const QString &title, const char *key, const QString &proposedName,
            const QString &filter, bool save, QString *folder)
{
    QString startPath = rememberedFolder(QLatin1String(key));
    if (!proposedName.isEmpty())
        startPath += QLatin1Char('/') + proposedName;
    const QString fileName =
        Interaction::instance()->fileDialog(parent, title, startPath, filter, save, folder);
    // The folder to remember is the one the file is in; the dialog may have been browsing elsewhere.
    if (folder && !fileName.isEmpty())
        *folder = QFileInfo(fileName).absolutePath();
    return fileName;
}

void reportSaveFailure(QWidget *parent, const QString &fileName, const QString &reason,
                       const QString &consequence)
{
    qCWarning(lcFilePrompt) << "Failed to save file:" << fileName << reason;
    QString text = QCoreApplication::translate("MainWindow", "Failed to save file");
    text += QLatin1Char('\n') + QDir::toNativeSeparators(fileName);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    if (!consequence.isEmpty())
        text += QLatin1Char('\n') + consequence;
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
        reportSaveFailure(parent, fileName, reason);
        return false;
    }
    setRememberedFolder(QLatin1String(key), folder);
    return true;
}

} // namespace FilePrompt
