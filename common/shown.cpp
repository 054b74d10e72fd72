#include "shown.h"

#include <QDateTime>
#include <QLocale>

namespace Shown {

namespace {
// A year in two digits cannot tell a count of 1999 from one of 2099, and history goes back years.
QString fullYearDateFormat(const QLocale &locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}
} // namespace

QString number(const QString &plain)
{
    const QString separator = QString(QLocale().decimalPoint());
    if (separator == QLatin1String("."))
        return plain;
    const int point = plain.indexOf(QLatin1Char('.'));
    if (point <= 0 || point == plain.size() - 1 || plain.indexOf(QLatin1Char('.'), point + 1) >= 0)
        return plain;
    for (int i = 0; i < plain.size(); ++i) {
        const QChar c = plain.at(i);
        if (!(c.isDigit() || i == point || (i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))))
            return plain;
    }
    if (!plain.at(point - 1).isDigit())
        return plain;
    return plain.left(point) + separator + plain.mid(point + 1);
}

QString fixed(double value, int decimals)
{
    return number(QString::number(value, 'f', decimals));
}

QString date(const QDateTime &time, const QString &withoutLanguage)
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return time.toString(withoutLanguage);
    return locale.toString(time, fullYearDateFormat(locale));
}

QString dateTime(const QDateTime &time, const QString &withoutLanguage)
{
    const QLocale locale;
    if (locale.language() == QLocale::C)
        return time.toString(withoutLanguage);
    return locale.toString(time, fullYearDateFormat(locale) + QLatin1Char(' ') +
                                     locale.timeFormat(QLocale::ShortFormat));
}

} // namespace Shown
