#include "printabletablemodel.h"

#include "resourcepaths.h"

#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace {
// Shared by all models: one print run uses them from start to end, and the page number runs on between runs.
int printY = 0;
int printLeft = 0;
int nextPageNumber = 1;
PrintableTableModel::PrintSummary summary;

QFont arial(int pointSize, bool bold = false)
{
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    return font;
}

QString logoPath()
{
    return grafikaPath(QStringLiteral("logoBW.png"));
}

// The page in the painter's coordinates: unless the printer paints on the full paper, the painter's origin
// is the corner of the printable area.
QRect pageRectangle(QPrinter *printer)
{
    const QRect page = printer->pageRect(QPrinter::DevicePixel).toRect();
    if (printer->fullPage())
        return page;
    return QRect(QPoint(0, 0), page.size());
}

class Layout
{
public:
    Layout(const PrintableTableModel &model, QPrinter *printer, QPainter &painter)
        : model(model), printer(printer), painter(painter), page(pageRectangle(printer))
    {
    }

    void run(const QString &totalTableText, const QString &totalAmountText, const QString &time);

private:
    QString headerText(int column) const
    {
        return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QString cellText(int row, int column) const
    {
        return model.data(model.index(row, column), Qt::DisplayRole).toString();
    }
    void measureColumns();
    void drawLogo(const QString &time);
    int drawHeader();
    void drawFooter();
    void startPage();
    int drawTotal(const QString &text, int y, int pointSize);

    const PrintableTableModel &model;
    QPrinter *printer;
    QPainter &painter;
    const QRect page;
    QVector<int> widths;
    int tableWidth = 0;
    int a = 0; // pixel size of the 8-point font
    int r = 0; // row pitch
    int m = 0; // bottom margin and gap before the totals
    int pages = 1;
};

void Layout::measureColumns()
{
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    widths.clear();
    tableWidth = 0;
    for (int column = 0; column < columns; ++column) {
        int widest = painter.boundingRect(QRect(), Qt::AlignLeft, headerText(column)).width();
        for (int row = 0; row < rows; ++row)
            widest =
                std::max(widest, painter.boundingRect(QRect(), Qt::AlignLeft, cellText(row, column)).width());
        widths.append(a + widest);
        tableWidth += widths.last();
    }
}

void Layout::drawLogo(const QString &time)
{
    painter.setFont(arial(8));
    const int s = painter.fontInfo().pixelSize();
    QImage logo(logoPath());
    if (!logo.isNull()) {
        logo = logo.scaledToWidth(printer->width() / 3, Qt::SmoothTransformation);
        painter.drawImage(QPoint(printLeft, printY), logo);
    }
    const int imageHeight = logo.isNull() ? 0 : logo.height();
    printY += 2 * s + imageHeight;
    painter.drawText(QRect(0, printY, printLeft + tableWidth, 2 * s + imageHeight), Qt::AlignRight, time);
    printY += 3 * s;
    summary.logo = true;
}

int Layout::drawHeader()
{
    const QFont normal = arial(8);
    painter.setFont(normal);
    const int s = painter.fontInfo().pixelSize();
    int bottom = printY;
    int x = printLeft;
    for (int column = 0; column < widths.size(); ++column) {
        const QString text = headerText(column);
        painter.setFont(arial(8, true));
        const QRect measured = painter.boundingRect(QRect(x, printY, 0, 0), Qt::AlignLeft, text);
        painter.drawText(QRect(x, measured.top(), widths[column], measured.height()), Qt::AlignCenter, text);
        painter.setFont(normal);
        if (column > 0)
            painter.drawLine(x, printY, x, measured.top() + 5 * s);
        bottom = std::max(bottom, measured.bottom());
        x += widths[column];
    }
    ++summary.headerRows;
    return bottom;
}

void Layout::drawFooter()
{
    const QString text = PrintableTableModel::tr("Page %1").arg(nextPageNumber++);
    painter.setFont(arial(8));
    const QRect measured = painter.boundingRect(QRect(page.left(), page.bottom() - m / 2, page.width(), 0),
                                                Qt::AlignHCenter, text);
    painter.drawText(measured, Qt::AlignCenter, text);
}

void Layout::startPage()
{
    drawFooter();
    printer->newPage();
    ++pages;
}

int Layout::drawTotal(const QString &text, int y, int pointSize)
{
    const QFont font = arial(pointSize, true);
    painter.setFont(font);
    const int right = printLeft + tableWidth;
    QRect measured = painter.boundingRect(QRect(0, y, right, y), Qt::AlignRight | Qt::AlignTop, text);
    // A line wider than a narrow table would start off the paper: it starts at the table's left edge instead.
    if (measured.left() < printLeft)
        measured.moveLeft(printLeft);
    if (measured.bottom() + m > page.bottom()) {
        startPage();
        // The footer of the old page left its own small font behind.
        painter.setFont(font);
        // The line moves up to the top of the new page whole. Keeping its old bottom edge would leave the
        // next line as low as before, so it too would break, onto a page of its own.
        measured.moveTop(page.top());
    }
    painter.drawText(measured, Qt::AlignRight | Qt::AlignTop, text);
    printY = measured.bottom();
    return measured.top();
}

void Layout::run(const QString &totalTableText, const QString &totalAmountText, const QString &time)
{
    printY = page.top();
    printLeft = page.left();
    painter.setFont(arial(8));
    a = painter.fontInfo().pixelSize();
    r = int(a * model.lineSpacing);
    m = 4 * a;
    measureColumns();

    if (!time.isEmpty())
        drawLogo(time);

    summary.headerBottom = drawHeader();
    // With no rows the totals go under the header row instead of over the top of the page.
    int lastBottom = summary.headerBottom;

    const int rows = model.rowCount();
    int k = 0;
    for (int row = 0; row < rows; ++row) {
        int x = printLeft;
        int right = printLeft;
        for (int column = 0; column < widths.size(); ++column) {
            const QString text = cellText(row, column);
            QRect measured =
                painter.boundingRect(QRect(x, printY + r * (k + 3), widths[column], 0), Qt::AlignLeft, text);
            if (measured.bottom() + m > page.bottom()) {
                startPage();
                printY = page.top();
                drawHeader();
                k = 0;
                measured =
                    painter.boundingRect(QRect(x, printY + 3 * r, widths[column], 0), Qt::AlignLeft, text);
            }
            const Qt::Alignment alignment = column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
            painter.drawText(QRect(x, measured.top(), widths[column], measured.height()), alignment, text);
            lastBottom = measured.bottom();
            x += widths[column];
            right = x;
        }
        const int lineY = int(printY + r * (k + 2) + a * ((model.lineSpacing - 1) / 2 + 1));
        painter.drawLine(printLeft, lineY, right + a, lineY);
        int boundary = printLeft;
        for (int column = 0; column + 1 < widths.size(); ++column) {
            boundary += widths[column];
            painter.drawLine(boundary, lineY, boundary, lineY + r);
        }
        ++k;
    }

    // An empty total line draws nothing, so it must not push the printout onto a page of its own.
    if (!totalTableText.isEmpty()) {
        summary.totalTop = drawTotal(totalTableText, lastBottom + m, 12);
        summary.totalPage = pages;
        summary.totalPointSize = painter.font().pointSize();
    } else {
        printY = lastBottom;
    }
    if (!totalAmountText.isEmpty()) {
        drawTotal(totalAmountText, printY + m, 16);
        summary.amountPage = pages;
        summary.amountPointSize = painter.font().pointSize();
    }
    drawFooter();
    summary.pages = pages;
}
} // namespace

PrintableTableModel::PrintableTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void PrintableTableModel::resetPageNumber()
{
    nextPageNumber = 1;
}

int PrintableTableModel::pageNumber()
{
    return nextPageNumber;
}

PrintableTableModel::PrintSummary PrintableTableModel::lastPrintSummary()
{
    return summary;
}

void PrintableTableModel::print(QPrinter *printer, QPainter &painter, QString totalTableText,
                                QString totalAmountText, QString time)
{
    summary = PrintSummary();
    if (!printer || !painter.isActive())
        return;
    Layout layout(*this, printer, painter);
    layout.run(totalTableText, totalAmountText, time);
}
