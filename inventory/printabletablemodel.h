#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <algorithm>

class QPainter;
class QPrinter;

// Base of the tables the user can print: lays out the model's own display texts page by page.
class PrintableTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PrintableTableModel(QObject *parent = nullptr);

    // What the last print run laid out, for callers that report on a printout they cannot read back.
    struct PrintSummary
    {
        int pages = 0;        // pages the run started (the first included)
        int headerRows = 0;   // header rows drawn, one per page
        int totalPage = 0;    // page of the table total line; 0 when there was none
        int amountPage = 0;   // page of the amount line; 0 when there was none
        int totalTop = 0;     // top of the table total line, device pixels
        int headerBottom = 0; // bottom of the header row on the first page
        bool logo = false;    // whether the logo block with the date line was drawn
        int totalPointSize = 0;  // font size the table total line was drawn in
        int amountPointSize = 0; // font size the amount line was drawn in
    };

    // The page number of the next footer; it runs on from one print to the next until reset.
    static void resetPageNumber();
    static int pageNumber();
    static PrintSummary lastPrintSummary();

    bool modified = false;
    double lineSpacing = 1.5;

signals:
    // A value typed into `index` was not taken; the cell keeps its old one and `reason` says why.
    void inputRefused(const QModelIndex &index, const QString &reason);

public slots:
    // `painter` must be active on `printer`. An empty `time` leaves out the logo block, an empty
    // `totalAmountText` the larger amount line.
    void print(QPrinter *printer, QPainter &painter, QString totalTableText, QString totalAmountText,
               QString time);

protected:
    // The rows from `row` on, `count` of them, leave `list`; a range reaching past the end is cut at it, so
    // views are never told of rows that do not exist.
    template <typename Row>
    void removeListRows(QList<Row> &list, int row, int count, const QModelIndex &parent)
    {
        if (count <= 0 || row < 0 || row >= list.size() || parent.isValid())
            return;
        const int last = std::min(row + count, int(list.size())) - 1;
        beginRemoveRows(QModelIndex(), row, last);
        list.erase(list.begin() + row, list.begin() + last + 1);
        endRemoveRows();
    }
};
