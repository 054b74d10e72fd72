#pragma once

#include "storeledger.h"

#include <QDialog>
#include <QHash>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class LedgerModel;
class StoreStockModel;

// The store's deliveries and issues: a form to record one, the records to look through and delete, and
// what the store holds of each kind. Every change is written to `path` at once, whole; a change that cannot
// be written is refused and said.
class DeliveriesDialog : public QDialog
{
    Q_OBJECT

public:
    // `names`: the shown name per EAN (or item name) of the kinds the bar knows, offered in the form.
    DeliveriesDialog(const StoreLedger &ledger, const QString &path, const QHash<QString, QString> &names,
                     QWidget *parent = nullptr);

    bool changed() const { return wasChanged; }

private:
    void kindChosen();
    void add();
    void deleteSelected();
    bool write(const StoreLedger &next);
    // The EAN or item name of the form, or empty with `why` when the text names several.
    QString keyTyped(QString *why) const;

    StoreLedger ledger;
    QString path;
    QHash<QString, QString> names;
    bool wasChanged = false;
    QComboBox *kind = nullptr;
    QDateTimeEdit *date = nullptr;
    QComboBox *item = nullptr;
    QLineEdit *quantity = nullptr;
    QLineEdit *cost = nullptr;
    QLineEdit *supplier = nullptr;
    QLabel *problem = nullptr;
    QTableView *records = nullptr;
    QTableView *stock = nullptr;
    LedgerModel *recordModel = nullptr;
    StoreStockModel *stockModel = nullptr;
};
