#pragma once

#include "tillsales.h"

#include <QHash>
#include <QList>
#include <QString>

class Inventory;
class ItemInventory;

// The user's corrections of how till products match the rows of the sales table, kept for the next counts.
// A till product is known by its code, or by its name when it has none; it points at a sales row
// ("ean:<EAN>"), an appended item ("item:<name>"), nothing ("-", never match it) or a recipe: portions of
// several rows ("recipe:40 ean:<EAN>|20 ean:<EAN>", millilitres of a bottle or pieces of an item per unit
// the till sells). A copy of the program that knows no recipes lists such a product as unmatched.
class TillMatches
{
public:
    struct Part
    {
        QString target;    // a row, as above
        double amount = 0; // millilitres of a bottle, pieces of an item
    };

    static QString keyOf(const TillLine &line);
    static QString bottleTarget(const QString &ean);
    static QString itemTarget(const QString &name);
    static QString noTarget();
    static QString recipeTarget(const QList<Part> &parts);
    static bool isRecipe(const QString &target);
    // The parts of a recipe target; empty when it is none or is damaged.
    static QList<Part> recipeParts(const QString &target);

    // A missing file is no corrections yet. Lines that cannot be read are passed over.
    void load(const QString &path);
    bool save(const QString &path, QString *reason = nullptr) const;

    QHash<QString, QString> targets;
};

// One sales row or appended item with the till lines matched to it.
struct TillVariance
{
    QString target; // as in TillMatches
    QString name;
    QString ean;         // empty for an appended item
    double expected = 0; // the cash in of the table
    double till = 0;     // the till's amount of the matched lines
    double money = 0;    // expected - till
    double units = 0;    // in sell units (portions or pieces); positive: more left the shelf than was rung up
    double percent = 0;  // of the expected amount; NaN when nothing was expected
};

// The takings of a count against the till's: per matched row and in total.
struct TillComparison
{
    QList<TillVariance> rows;
    QList<TillLine> unmatchedTill; // till products matched to no row
    QStringList unmatchedRows;     // rows that sold something but have no till product ("Name (EAN)")
    double expected = 0;           // total sales of the table
    double till = 0;               // the till's total
    double variance = 0;           // expected - till
    double percent = 0;            // of the expected total; NaN when nothing was expected
    // The target of each of `unmatchedRows`, as in TillMatches.
    QStringList unmatchedRowTargets;
    // Per line of the till figures: the target it is counted on; empty when it is not matched.
    QStringList lineTargets;
    bool quantities = false; // the till figures have quantities

    static TillComparison compare(const Inventory &inventory, const ItemInventory &items,
                                  const TillFigures &figures, const TillMatches &matches);
    // Plain text lines, as quarmelctl prints them.
    QString toText(const QString &currency) const;
};
