#pragma once

#include <QWidget>

class QMovie;

namespace Ui {
class ProgressDialog;
}

// An overlay over the window's pages while a station transfer or a download runs: an animation and a line
// of text. It is a child widget, not a window, so the rest of the window stays usable.
class ProgressDialog : public QWidget
{
    Q_OBJECT

public:
    ProgressDialog(QWidget *parent, QWidget *coveredWidget);
    ~ProgressDialog() override;

    void setText(const QString &text);
    QString text() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Ui::ProgressDialog *ui = nullptr;
    QWidget *coveredWidget = nullptr;
    QMovie *movie = nullptr;
};
