#include "datafolderwatch.h"

#include "interaction.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QWidget>

Q_LOGGING_CATEGORY(lcDataFolderWatch, "datafolderwatch")

DataFolderWatch::DataFolderWatch(const QString &folder, QWidget *window)
    : QObject(window), folder(QDir(folder).absolutePath()), window(window)
{
    // The parent too: a removed folder drops out of the watch, and its return shows only there.
    const QString parent = QFileInfo(this->folder).absolutePath();
    if (!watcher.addPath(this->folder))
        qCWarning(lcDataFolderWatch, "The data folder %s cannot be watched", qUtf8Printable(this->folder));
    if (parent != this->folder)
        watcher.addPath(parent);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &DataFolderWatch::check);
}

void DataFolderWatch::check()
{
    const bool gone = !QFileInfo(folder).isDir();
    if (gone == missing)
        return;
    missing = gone;
    const QString shown = QDir::toNativeSeparators(folder);
    if (gone) {
        qCWarning(lcDataFolderWatch, "The data folder %s is gone", qUtf8Printable(folder));
        Interaction::instance()->message(
            window, Interaction::Icon::Critical, tr("Data folder removed"),
            tr("The data folder %1 has been removed or moved away while Quarmel runs. The catalogue, the "
               "last saved table and the history kept there are no longer on this computer.\n\n"
               "Nothing is saved until the folder is back: put it back where it was (from a backup "
               "if need be), or close Quarmel.")
                .arg(shown));
        return;
    }
    watcher.addPath(folder);
    Interaction::instance()->message(window, Interaction::Icon::Information, tr("Data folder back"),
                                     tr("The data folder %1 is back; saves go there again.").arg(shown));
}
