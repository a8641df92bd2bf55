// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace platform {

// A modal alert: message, informative text, a style (its icon) and buttons
// in the caller's order, answering 1000, 1001, ... On screen the buttons
// stand where the desktop's dialog button box puts OK and Cancel: the
// default button as the accepting one, the Escape button as the rejecting
// one. Tests answer it through the responder seam; nothing is shown then.
class Alert : public QDialog
{
    Q_OBJECT
public:
    enum class Style { Warning, Informational, Critical };
    static constexpr int FirstButton = 1000;

    struct Answer
    {
        int response = FirstButton;
        bool suppressed = false;
        // Put into the accessory's text field, when it has one.
        QString fieldText;
    };
    using Responder = std::function<Answer(const Alert &)>;

    explicit Alert(QWidget *parent = nullptr);
    // A new warning with these texts and buttons (answering 1000, 1001, ...
    // in this order), for the caller to run.
    static Alert *warning(
        QWidget *parent, const QString &message, const QString &informativeText, const QStringList &buttons);

    void setMessageText(const QString &text);
    QString messageText() const { return m_message; }
    void setInformativeText(const QString &text);
    QString informativeText() const { return m_informative; }
    void setAlertStyle(Style style);
    Style alertStyle() const { return m_style; }

    // Returns the response the new button answers.
    int addButton(const QString &title);
    QStringList buttonTitles() const { return m_buttonTitles; }
    // The button that Escape answers; by default the last one.
    void setCancelResponse(int response);
    // The button that Return answers; by default the first one.
    void setDefaultResponse(int response);

    void setShowsSuppressionButton(bool on);
    bool showsSuppressionButton() const;
    void setSuppressionTitle(const QString &title);
    bool isSuppressed() const;

    // The accessory gets the initial focus; the alert takes ownership.
    void setAccessoryWidget(QWidget *widget);
    QWidget *accessoryWidget() const { return m_accessory; }

    // Application-modal; returns the response.
    int runModal();
    // Window-modal; returns at once and calls completion on the GUI thread.
    // The alert deletes itself once completion has run.
    void beginSheet(QWidget *window, std::function<void(int response)> completion);

    // Returns the previous responder; an empty one restores real windows.
    static Responder setResponder(Responder responder);

protected:
    void reject() override;

private:
    Answer answerFromResponder();
    void finishWith(int response);
    int cancelResponse() const;
    // Gives each button its role in the button box by the default and
    // Escape buttons.
    void layOutButtons();

    QString m_message;
    QString m_informative;
    Style m_style = Style::Warning;
    QStringList m_buttonTitles;
    int m_cancelResponse = -1;
    int m_defaultResponse = FirstButton;
    QLabel *m_icon = nullptr;
    QLabel *m_messageLabel = nullptr;
    QLabel *m_informativeLabel = nullptr;
    QVBoxLayout *m_accessorySlot = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
    QList<QPushButton *> m_buttons;
    QCheckBox *m_suppression = nullptr;
    QPointer<QWidget> m_accessory;
};

// A warning with the one button "OK"; true when OK ended it.
bool showAlert(const QString &message, const QString &informativeText);

} // namespace platform
