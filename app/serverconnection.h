#pragma once

#include "store.h"

#include <QString>

// The shared store as the user set it up in Settings...: where the server is and the login, kept in the
// user's settings. The password is never kept here (see PasswordStore).
struct ServerConnection
{
    QString host;
    int port = 5432;
    QString database;
    QString login;

    // Host, database and login are all it takes; without them no sync is tried.
    bool isSet() const { return !host.isEmpty() && !database.isEmpty() && !login.isEmpty(); }
    bool operator==(const ServerConnection &other) const
    {
        return host == other.host && port == other.port && database == other.database && login == other.login;
    }
    bool operator!=(const ServerConnection &other) const { return !(*this == other); }

    // The connection kept in the user's settings; an empty one while none is kept.
    static ServerConnection load();
    void save() const;

    // What the store connects with: these fields and `password`.
    Store::ConnectionInfo info(const QString &password) const;
    // The key the password is kept under: one per login on one server and database.
    QString passwordKey() const;
};
