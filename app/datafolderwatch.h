#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

class QWidget;

// Says at once when the data folder goes away while the program runs (deleted, moved, its disk or share
// gone), instead of letting the next save find out, and once more when it is back.
class DataFolderWatch : public QObject
{
    Q_OBJECT

public:
    DataFolderWatch(const QString &folder, QWidget *window);

    bool isMissing() const { return missing; }

private:
    void check();

    QString folder;
    QWidget *window;
    QFileSystemWatcher watcher;
    bool missing = false;
};
