#pragma once

// The prompt dialog: one line of text, with a confirm button that counts down the
// seconds left and closes the dialog as cancelled when the count runs out.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace plumo {

class Tdfrm : public QDialog {
    Q_OBJECT
public:
    explicit Tdfrm(QWidget* owner = nullptr);

    // Makes edit1 show "*" for every character typed.
    void maskInput();

    // One countdown step; Timer1 calls it once a second while enabled.
    void Timer1Timer();
    // The countdown ran out (the dialog closed as cancelled by itself).
    bool timedOut() const { return timedOut_; }

    void done(int result) override;
    void setVisible(bool visible) override;

    QLabel* lbmsg;
    QLineEdit* edit1;
    QPushButton* btnok;
    QPushButton* btncancel;
    QLineEdit* counter;  // seconds left, as decimal text
    QTimer Timer1;       // disabled until the caller enables it

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setOkCaption(int seconds);

    bool timedOut_ = false;
};

}  // namespace plumo
