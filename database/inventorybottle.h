#pragma once

#include <QString>

// One weighed bottle as the station reports it.
struct InventoryBottle
{
    quint64 weight = 0; // gross weight in grams
    QString ean;
};
