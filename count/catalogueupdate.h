#pragma once

#include "bottle.h"

#include <QList>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// The catalogue update from the server: where it is fetched, and how a finished reply becomes a list of
// bottles. Widget-free, so the window only shows the result.
namespace CatalogueUpdate {

// Largest reply taken in; anything bigger is not a catalogue and would only eat memory.
inline constexpr qint64 maxReplyBytes = 32 * 1024 * 1024;
// A download that moves no byte for this long is given up.
inline constexpr int transferTimeoutMs = 30000;

// The address: the environment wins (demo, tests), then the user's setting, then the server's.
QUrl url();

// Starts the download on `manager`. The reply is stopped as soon as it outgrows any catalogue.
QNetworkReply *get(QNetworkAccessManager *manager);

enum class Result {
    Ok,
    DownloadFailed, // no answer, or an error answer
    TooLarge,       // a reply larger than maxReplyBytes, which no catalogue is
    Damaged,        // an answer that is not a whole encrypted catalogue
};

// The bottles of a finished reply from get().
Result read(QNetworkReply *reply, QList<Bottle> *bottles);

} // namespace CatalogueUpdate
