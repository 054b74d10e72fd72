#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Runs a test in a given time zone (one with daylight saving, where a timestamp's offset from UTC depends on
// its date) and puts the previous zone back afterwards.
class ZoneScope
{
public:
    explicit ZoneScope(const QByteArray &zone) : previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope()
    {
        if (previous.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", previous);
        tzset();
    }
    ZoneScope(const ZoneScope &) = delete;
    ZoneScope &operator=(const ZoneScope &) = delete;

private:
    QByteArray previous;
};
