#include "tillcolumnsdialog.h"

#include "settings.h"
#include "shown.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

Q_LOGGING_CATEGORY(lcTillColumnsDialog, "tillcolumnsdialog")

namespace {
// Enough lines to recognise the columns by; the rest of the export says nothing new about them.
constexpr int shownLines = 8;
} // namespace

TillColumnsDialog::TillColumnsDialog(const TillTable &table, const TillColumns &proposed, QWidget *parent)
    : QDialog(parent), table(table)
{
    setObjectName(QStringLiteral("dlgTillColumns"));
    setWindowTitle(tr("Till Export Columns"));

    auto *explanation = new QLabel(
        tr("Check which columns of the till export hold the product and the money taken. The amount is what "
           "the till took: after discounts, voids and refunds, with VAT."),
        this);
    explanation->setWordWrap(true);

    auto *preview = new QTableWidget(this);
    preview->setObjectName(QStringLiteral("twTillPreview"));
    const int lines = int(qMin<qsizetype>(table.rows.size(), shownLines));
    preview->setColumnCount(table.columnCount());
    preview->setRowCount(lines);
    QStringList headers;
    for (int c = 0; c < table.columnCount(); ++c)
        headers << table.columnLabel(c);
    preview->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < lines; ++r) {
        for (int c = 0; c < table.columnCount(); ++c)
            preview->setItem(r, c, new QTableWidgetItem(table.rows.at(r).value(c)));
    }
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->setFocusPolicy(Qt::NoFocus);
    preview->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    preview->setMinimumHeight(preview->verticalHeader()->defaultSectionSize() * (shownLines + 2));

    const QString labels[TillColumns::RoleCount] = {
        tr("Product &name:"), tr("Product &code (EAN, PLU):"), tr("&Quantity:"), tr("&Unit or portion:"),
        tr("&Amount taken:")};
    const char *const names[TillColumns::RoleCount] = {"cbTillName", "cbTillCode", "cbTillQuantity",
                                                       "cbTillUnit", "cbTillAmount"};
    auto *form = new QFormLayout;
    for (int role = 0; role < TillColumns::RoleCount; ++role) {
        QComboBox *combo = new QComboBox(this);
        combo->setObjectName(QLatin1String(names[role]));
        combo->addItem(tr("(none)"), -1);
        for (int c = 0; c < table.columnCount(); ++c)
            combo->addItem(table.columnLabel(c), c);
        combo->setCurrentIndex(qMax(0, combo->findData(proposed.column[role])));
        form->addRow(labels[role], combo);
        combos[role] = combo;
        connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), this, &TillColumnsDialog::update);
    }
    total = new QLabel(this);
    total->setObjectName(QStringLiteral("lblTillColumnsTotal"));
    total->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    importButton = buttons->button(QDialogButtonBox::Ok);
    importButton->setText(tr("Import"));
    importButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(preview, 1);
    layout->addLayout(form);
    layout->addWidget(total);
    layout->addWidget(buttons);
    combos[TillColumns::Amount]->setFocus();
    update();

    // Wide enough to show every column of the preview without scrolling, as far as the screen allows: a
    // narrow preview hides the very columns the user is asked to choose between.
    preview->resizeColumnsToContents();
    const int previewWidth = preview->horizontalHeader()->length() + preview->verticalHeader()->sizeHint().width() +
                             2 * preview->frameWidth() + preview->verticalScrollBar()->sizeHint().width();
    const int margins = layout->contentsMargins().left() + layout->contentsMargins().right();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : 1000;
    resize(qMax(sizeHint().width(), qMin(previewWidth + margins, widest)), sizeHint().height());
}

TillColumns TillColumnsDialog::columns() const
{
    TillColumns chosen;
    for (int role = 0; role < TillColumns::RoleCount; ++role)
        chosen.column[role] = combos[role]->currentData().toInt();
    return chosen;
}

void TillColumnsDialog::update()
{
    const TillColumns chosen = columns();
    TillReading reading;
    QString reason;
    const bool usable = chosen.isUsable(table.columnCount()) && TillExport::read(table, chosen, &reading, &reason);
    importButton->setEnabled(usable);
    if (!usable) {
        total->setText(tr("Choose the column of the amount and one of the product's name or code, each a "
                          "different column."));
        return;
    }
    QString text = tr("Till total: %1 %2 (products: %3)")
                       .arg(Shown::fixed(reading.figures.total(), 2), Settings::currencyName())
                       .arg(reading.figures.lines.size());
    if (!reading.refused.isEmpty())
        text += QLatin1Char('\n') + tr("Lines not understood: %1; the first: %2")
                                        .arg(reading.refused.size())
                                        .arg(reading.refused.constFirst());
    if (!reading.skipped.isEmpty())
        text += QLatin1Char('\n') + tr("Totals and summary lines of the till, not counted: %1").arg(reading.skipped.size());
    total->setText(text);
    qCDebug(lcTillColumnsDialog, "%s: %s", qUtf8Printable(chosen.toText()), qUtf8Printable(text));
}
