#pragma once

#include "bottle.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reads a catalogue by what the file holds, not by its name: a catalogue document (root element "data")
// or a CSV import file (lines of six fields). Anything else is refused with a reason, so that a file of
// another kind never turns into an empty catalogue.
namespace CatalogueReader {
// Fills `bottles` from `path`; false with `error` ("path: reason") when the file cannot be read or is no
// catalogue, or when two rows hold EANs the station keeps as one. An empty or blank file is an empty
// catalogue.
bool readFile(const QString &path, QList<Bottle> *bottles, QString *error);
bool read(const QByteArray &bytes, QList<Bottle> *bottles, QString *error);
} // namespace CatalogueReader
