#pragma once

// The settings window: a borderless window in the shape of its background picture, with
// the chime, autostart and voice settings and the memo password.

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <QToolButton>
#include <QValidator>
#include <optional>

#include "settings/settings_form.h"

namespace plumo {

class Tdfrm;

// Keeps what the user types or pastes into a field to maxBytes bytes of the double-byte
// code page: a paste is cut where the room ends. A longer text the program puts into the
// field (the placeholder) is kept as it is.
class GbkLengthValidator : public QValidator {
    Q_OBJECT
public:
    GbkLengthValidator(int maxBytes, QLineEdit* field);
    State validate(QString& input, int& pos) const override;

private:
    int maxBytes_;
    QLineEdit* field_;
    QString before_;  // the field's text before the edit being checked
};

class Tsetfrm : public QDialog, private SettingsPrompts {
    Q_OBJECT
public:
    // Loads apppath + "skin/set" as the background.
    explicit Tsetfrm(const QString& apppath, QWidget* owner = nullptr);

    // Why the background could not be loaded, naming the file; empty when it was.
    const QString& backgroundError() const { return backgroundError_; }

    // Puts the values into the controls, and reads them back.
    void setForm(const SettingsForm& form);
    SettingsForm form() const;

    // --- Handlers ---
    void btnokClick();
    void chkpwdClick();
    void txtpwdClick();
    void msgClick();
    void btnCloseMsgClick();
    void quittimerTimer();
    void imgbgMouseDown();
    // Shows `text` on the message line for five ticks.
    void showmsg(const QString& text) override;

    // The message-line counter, shared by every settings window of the run.
    static int msgticks;

    void setVisible(bool visible) override;

    // --- Children, bottom to top ---
    QLabel* imgbg;
    QCheckBox* chkauto;
    QCheckBox* chktime;
    QGroupBox* soundcate;
    QButtonGroup* soundChoices;  // ids 0, 1, 2
    QCheckBox* chkpwd;
    QPushButton* btnok;
    QPushButton* btncancel;
    QGroupBox* GroupBox1;
    QLineEdit* txtpwd;
    QLabel* msg;
    QToolButton* btnCloseMsg;
    QLineEdit* pwd;
    QTimer quittimer;

signals:
    // The old-password prompt is set up and about to be shown modally.
    void promptOpening(Tdfrm* dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::optional<QString> askOldPassword(PasswordEcho echo) override;
    void createChildren();
    void hideMessage();
    void loadBackground(const QString& path);

    QString backgroundError_;
    QRegion deviceShape_;  // at more than one device pixel per pixel: the shape in those
};

// Creates a settings window owned by `owner`, shows it modally over `form` and discards
// it: the form as the user left it on OK, nullopt otherwise. A background that cannot be
// loaded is reported and the window opens without it.
std::optional<SettingsForm> runSettingsWindow(QWidget* owner, const QString& apppath,
                                              const SettingsForm& form);

}  // namespace plumo
