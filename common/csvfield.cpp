#include "csvfield.h"

namespace {
bool startsLikeFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    return c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('@') ||
           c == QLatin1Char('\t') || c == QLatin1Char('\r');
}
} // namespace

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvNeutralised(const QString &text)
{
    return startsLikeFormula(text) ? QLatin1Char('\'') + text : text;
}

QString csvText(const QString &text)
{
    return csvField(csvNeutralised(text));
}

QString csvTextRead(const QString &field)
{
    if (field.startsWith(QLatin1Char('\'')) && startsLikeFormula(field.mid(1)))
        return field.mid(1);
    return field;
}

QStringList csvSplit(const QString &line, QChar separator, CsvQuotes quotes)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') &&
                   (quotes == CsvQuotes::Anywhere || field.trimmed().isEmpty())) {
            // Blanks before an opening quote are no part of the field.
            if (quotes == CsvQuotes::AtFieldStart)
                field.clear();
            quoted = true;
        } else if (c == separator) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}
