#pragma once

#include <QObject>
#include <QString>

// Keeps the password of the server connection out of the settings file: in the desktop's keyring where
// there is one, else in a file of its own beside the settings that only the user may read (rights 0600).
// A keyring answers when it likes (it may ask the user to unlock it), so both calls report by signal.
class PasswordStore : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Emits readFinished; a password never kept reads as not found.
    void read(const QString &key);
    // Emits writeFinished; an empty password removes the one kept.
    void write(const QString &key, const QString &password);

    // The file used without a keyring.
    static QString filePath();
    // Whether a keyring is tried at all: built with one, and on the free desktops a session bus to reach it
    // by; QUARMEL_NO_KEYRING=1 keeps to the file.
    static bool keyringAvailable();

    // The file alone, synchronously.
    static bool readFile(const QString &key, QString *password);
    static bool writeFile(const QString &key, const QString &password, QString *reason);

signals:
    void readFinished(const QString &key, bool found, const QString &password);
    void writeFinished(const QString &key, bool ok, const QString &reason);
};
