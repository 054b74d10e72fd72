#pragma once

#include <QList>
#include <QString>

class Inventory;
struct OverviewRow;

// The doubtful weighings of a count gathered into one message, so that each is seen before the cash is
// counted up. Empty when there is nothing to point out.
namespace DoubtSummary {

// Every doubt of a downloaded overview, one line per bottle.
QString overview(const QList<OverviewRow> &rows);

// What the sales table adds: bottles not weighed now, negative sold quantities, and on the first count of a
// bar (nothing carried over) one explanation of why everything sold is negative.
QString sales(const Inventory &inventory);

} // namespace DoubtSummary
