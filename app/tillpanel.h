#pragma once

#include "tillcomparison.h"
#include "tillexport.h"
#include "tillsales.h"
#include "tillvariancemodel.h"

#include <QWidget>

class Inventory;
class ItemInventory;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableView;

// The till on the sales page: the till's takings typed or imported from its sales export, and the variance
// of the count against them.
class TillPanel : public QWidget
{
    Q_OBJECT

public:
    TillPanel(Inventory &inventory, ItemInventory &items, QWidget *parent = nullptr);

    const TillFigures &figures() const { return till; }
    const TillComparison &comparison() const { return model.comparison(); }
    TillVarianceModel &varianceModel() { return model; }
    // A new count starts without till figures.
    void clear();
    // The till figures of a saved count, as they were saved.
    void setFigures(const TillFigures &figures);
    // An old count is looked at, never changed: no typing, no import, no match to remember.
    void setReadOnly(bool readOnly);

public slots:
    void refresh();
    void importExport();
    // Points the till product behind the selection (a variance row, an unmatched till product or an
    // unmatched row) at another row, at no row, or back at the automatic match.
    void matchSelected();
    // Drops the corrections of the till products behind the selection.
    void automaticMatch();
    // Asks again which columns of the imported export are read, and reads it with them.
    void changeColumns();

signals:
    // The user's matches were written to the data folder.
    void matchesKept();

private:
    void amountEdited();
    // The user's confirmation of the columns of an export whose layout is not recognised for certain.
    bool chooseColumns(const TillTable &table, TillColumns *columns);
    void readImported();
    void remember();
    // The lines of `till` behind the selection; `row` receives the target of a selected unmatched row.
    QList<int> selectedLines(QString *row) const;
    bool chooseLine(const QList<int> &lines, const QString &label, int *line);
    QStringList rowTargets() const;
    bool chooseTarget(const TillLine &line, QString *target);
    bool chooseRecipe(const TillLine &line, QString *target);
    QString targetLabel(const QString &target) const;
    QString lineLabel(const TillLine &line) const;
    void keepOneSelection(QWidget *selected);
    void showMenu(QWidget *widget, const QPoint &position);

    Inventory &inventory;
    ItemInventory &items;
    TillFigures till;
    TillTable imported; // the export last imported, to read again with other columns
    TillColumns importedColumns;
    QString importedFile;
    TillMatches matches;
    TillVarianceModel model;
    bool locked = false; // an old count: nothing may be matched or remembered
    QLineEdit *amount = nullptr;
    QWidget *details = nullptr;
    QTableView *view = nullptr;
    QLabel *summary = nullptr;
    QListWidget *unmatchedTill = nullptr;
    QListWidget *unmatchedRows = nullptr;
};
