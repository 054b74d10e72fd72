#pragma once

#include "tillexport.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// Which columns of a till export hold the product, the quantity and the money taken: the first lines of the
// file, a choice per role and the till total it gives, updated as a choice changes.
class TillColumnsDialog : public QDialog
{
    Q_OBJECT

public:
    TillColumnsDialog(const TillTable &table, const TillColumns &proposed, QWidget *parent = nullptr);

    TillColumns columns() const;

private:
    void update();

    const TillTable &table;
    QComboBox *combos[TillColumns::RoleCount] = {};
    QLabel *total = nullptr;
    QPushButton *importButton = nullptr;
};
