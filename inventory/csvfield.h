#pragma once

#include <QString>

// A field of the program's semicolon-separated exports. Plain texts stay as they are; a text that holds the
// separator, a double quote or a line break is quoted with inner quotes doubled, so it cannot shift the
// columns after it.
inline QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
