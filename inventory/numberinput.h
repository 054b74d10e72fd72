#pragma once

#include <QString>

// Numbers as people type them into a table cell: a decimal comma or point, blanks between the thousands.
// Anything else is refused with a reason the user can act on, so a cell never takes a value nobody typed.
namespace NumberInput {

// A number that is zero or more. On refusal `number` is left alone and `reason` says why.
bool parse(const QString &text, double *number, QString *reason);

// As `parse`, and a leading minus is taken too: a bottle sent back to the store is issued less than nothing.
bool parseSigned(const QString &text, double *number, QString *reason);

// A whole number from `minimum` to `maximum` typed as for `parse`, and with a leading minus where `minimum`
// is below zero. Decimals are taken only when they are all zero ("750,0"). On refusal `number` is left alone
// and `reason` says why.
bool parseWhole(const QString &text, qint64 minimum, qint64 maximum, qint64 *number, QString *reason);

// The text an editor starts from: every digit of `value` that matters, so that confirming it unchanged
// gives back the same number.
QString exactText(double value);

} // namespace NumberInput
