#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// The one way this program writes a file: whole or not at all. The bytes go to a temporary file beside the
// target, which replaces the target only once everything was written, so a crash, a full disk or a power cut
// leaves the previous file as it was. A failure hands back the system's reason ("No space left on device",
// "Permission denied", ...) so the user learns why, not only that.

// Writes `bytes` to `path`. On failure `reason` (optional) receives the reason and the old file is kept.
bool writeFileWhole(const QString &path, const QByteArray &bytes, QString *reason = nullptr,
                    QIODevice::OpenMode mode = QIODevice::WriteOnly);

// The same for a document streamed into the device by `write`, which returns false to give up.
bool writeFileWhole(const QString &path, const std::function<bool(QIODevice &)> &write, QString *reason,
                    QIODevice::OpenMode mode = QIODevice::WriteOnly);

// Reads a small file of the data folder whole: Missing (nothing read, no error) when there is none, Failed
// with the system's reason, or `tooLarge` for a file above `limit` bytes, which is no such file.
enum class FileRead { Read, Missing, Failed };
FileRead readFileWhole(const QString &path, qint64 limit, const QString &tooLarge, QByteArray *bytes,
                       QString *reason);
