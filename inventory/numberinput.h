#pragma once

#include <QString>

// Numbers as people type them into a table cell: a decimal comma or point, blanks between the thousands.
// Anything else is refused with a reason the user can act on, so a cell never takes a value nobody typed.
namespace NumberInput {

// A number that is zero or more. On refusal `number` is left alone and `reason` says why.
bool parse(const QString &text, double *number, QString *reason);

// The text an editor starts from: every digit of `value` that matters, so that confirming it unchanged
// gives back the same number.
QString exactText(double value);

} // namespace NumberInput
