#include "fileprompt.h"

#include "interaction.h"
#include "settings.h"
#include "store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPrinter>
#include <QPrinterInfo>

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

QString printHeading(const QString &period)
{
    // Only a folder that has been named reads its identity: reading makes a machine id where there is none.
    if (!QFileInfo::exists(localFilePath(QLatin1String(DataFile::storeIdentity))))
        return period;
    Store::Identity identity;
    QString reason;
    if (!Store::readIdentity(QFileInfo(localFilePath(QLatin1String(DataFile::storeIdentity))).absolutePath(),
                             &identity, &reason)) {
        qCWarning(lcFilePrompt) << "Bar not read for the printout:" << reason;
        return period;
    }
    return identity.bar.isEmpty() ? period : identity.bar + QLatin1Char('\n') + period;
}

bool askToPrint(QWidget *parent, QPrinter *printer, const QString &proposedName)
{
    const char *key = RememberedFolder::printPath;
    // Without this the dialog offers a file in whatever folder the program was started from, and the next
    // printout the same name as the last one. Set only where the dialog starts on a file anyway: setting a
    // file name turns a paper printer into a PDF writer.
    if (printer->outputFormat() == QPrinter::PdfFormat || QPrinterInfo::availablePrinterNames().isEmpty())
        printer->setOutputFileName(rememberedFolder(QLatin1String(key)) + QLatin1Char('/') + proposedName);
    if (!Interaction::instance()->printDialog(parent, printer,
                                              QCoreApplication::translate("MainWindow", "Print Document")))
        return false;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        setRememberedFolder(QLatin1String(key), QFileInfo(printer->outputFileName()).absolutePath());
    return true;
}

} // namespace FilePrompt
