#pragma once

#include <QString>

class QDateTime;

// Numbers and dates as the user reads them, in the locale of the interface (QLocale's default, which the
// program sets to the language it speaks). Files never go through here: they keep their own fixed forms.
namespace Shown {

// `plain` ("-12.50", as QString::number writes it) with the locale's decimal separator; any other text as
// it is, so that "Err" or "---" in a numeric column stay untouched.
QString number(const QString &plain);

// `value` with `decimals` fixed decimals.
QString fixed(double value, int decimals);

// The locale's short date (with the full year), and the same followed by hours and minutes. Without a
// language (the C locale of a build machine or a test) the program's long-standing forms, given here.
QString date(const QDateTime &time, const QString &withoutLanguage);
QString dateTime(const QDateTime &time, const QString &withoutLanguage);

} // namespace Shown
