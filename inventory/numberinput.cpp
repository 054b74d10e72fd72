#include "numberinput.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcNumberInput, "numberinput")

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("NumberInput", text);
}
} // namespace

bool NumberInput::parse(const QString &text, double *number, QString *reason)
{
    QString typed = text.trimmed();
    // Desktops with a Czech locale group thousands with a no-break space.
    typed.replace(QChar(0x00A0), QLatin1Char(' '));
    typed.replace(QChar(0x202F), QLatin1Char(' '));
    const auto refuse = [&](const QString &why) {
        qCDebug(lcNumberInput) << "refused" << text;
        if (reason)
            *reason = why;
        return false;
    };
    if (typed.isEmpty())
        return refuse(tr("Type a number."));
    if (typed.startsWith(QLatin1Char('-')))
        return refuse(tr("\"%1\" is negative; a quantity or a price cannot be.").arg(text));
    // "1.234,50" and "1,234.50" read differently in different countries: one separator only, for the
    // decimals; thousands may be grouped with blanks.
    // ",5" and ".5" are what many people type for a half; a separator alone is no number.
    static const QRegularExpression shape(QStringLiteral("^\\+?(\\d{1,3}(?: \\d{3})+|\\d*)(?:[.,](\\d*))?$"));
    const QRegularExpressionMatch match = shape.match(typed);
    if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(2).isEmpty())) {
        if (typed.contains(QLatin1Char(',')) && typed.contains(QLatin1Char('.')))
            return refuse(tr("\"%1\" holds both a comma and a point; type the decimals after one of them "
                             "and nothing between the thousands, or a blank.")
                              .arg(text));
        return refuse(
            tr("\"%1\" is not a number; type digits with a decimal comma or point only.").arg(text));
    }
    QString plain = match.captured(1);
    plain.remove(QLatin1Char(' '));
    if (plain.isEmpty())
        plain = QStringLiteral("0");
    if (!match.captured(2).isEmpty())
        plain += QLatin1Char('.') + match.captured(2);
    bool ok = false;
    const double parsed = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(parsed))
        return refuse(tr("\"%1\" is too large.").arg(text));
    *number = parsed;
    return true;
}

bool NumberInput::parseSigned(const QString &text, double *number, QString *reason)
{
    const QString typed = text.trimmed();
    // U+2212 is the minus sign word processors and some keyboards put in place of a hyphen.
    const bool negative = typed.startsWith(QLatin1Char('-')) || typed.startsWith(QChar(0x2212));
    double magnitude = 0;
    if (!parse(negative ? typed.mid(1) : typed, &magnitude, reason))
        return false;
    *number = negative && magnitude != 0 ? -magnitude : magnitude;
    return true;
}

QString NumberInput::exactText(double value)
{
    const QString shortest = QString::number(value, 'g', 15);
    if (!std::isfinite(value) || !shortest.contains(QLatin1Char('e')))
        return shortest;
    // The readers take no exponent: a very small or very large number is written out digit by digit, with
    // its fifteen significant digits, so that it reads back as itself.
    const int exponent = int(std::floor(std::log10(std::fabs(value))));
    QString written = QString::number(value, 'f', std::max(0, 14 - exponent));
    if (written.contains(QLatin1Char('.'))) {
        while (written.endsWith(QLatin1Char('0')))
            written.chop(1);
        if (written.endsWith(QLatin1Char('.')))
            written.chop(1);
    }
    return written;
}

bool NumberInput::parseWhole(const QString &text, qint64 minimum, qint64 maximum, qint64 *number,
                             QString *reason)
{
    const QString typed = text.trimmed();
    const bool negative = typed.startsWith(QLatin1Char('-'));
    const auto outside = [&] {
        if (reason)
            *reason = tr("\"%1\" lies outside %2 to %3.").arg(text).arg(minimum).arg(maximum);
        return false;
    };
    if (negative && minimum >= 0)
        return outside();
    double magnitude = 0;
    if (!parse(negative ? typed.mid(1) : typed, &magnitude, reason))
        return false;
    if (magnitude != std::floor(magnitude)) {
        if (reason)
            *reason = tr("\"%1\" is not a whole number.").arg(text);
        return false;
    }
    const double value = negative ? -magnitude : magnitude;
    if (value < double(minimum) || value > double(maximum))
        return outside();
    *number = qint64(value);
    return true;
}
