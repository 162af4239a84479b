#pragma once
// The opening dialog shown at start-up: picture, product name and version, OK.
// It closes on OK, Enter or Escape (all count as OK) or by itself 10 s after it was shown (counts as cancel).
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

struct AppContext;

class TOKBottomDlg_openingsscherm : public QDialog {
    Q_OBJECT
public:
    explicit TOKBottomDlg_openingsscherm(AppContext &ctx, QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;         // picture across the top, 617 x 301
    QLabel *Label_QVR_Fuel = nullptr; // "QVR Fuel"
    QLabel *Label_version = nullptr;  // "Version: V"
    QLabel *Label_versie = nullptr;   // "3.05"
    QLabel *Panel_strip = nullptr;    // blue strip along the right edge
    QPushButton *OKBtn = nullptr;     // default and cancel button
    QTimer *Timer1 = nullptr;         // 10000 ms from showing, closes as cancel

public slots:
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public:
    void done(int result) override;
};

// The start-up picture, drawn at run time (617 x 301).
QPixmap OpeningPicture();

// Shows the opening dialog modally and returns its result (QDialog::Accepted for OK, Rejected when
// its timer closed it). The dialog is released afterwards either way.
int ShowOpeningDialog(AppContext &ctx, QWidget *parent = nullptr);
