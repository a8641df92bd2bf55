// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/Alert.h"

#include "platform/MainQueue.h"
#include "platform/widgets/ThemeIcon.h"
#include "platform/widgets/Window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <memory>

namespace platform {

namespace {
Alert::Responder &responder()
{
    static Alert::Responder r;
    return r;
}
} // namespace

Alert::Alert(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QApplication::applicationDisplayName());
    // As the desktop's message boxes: the icon beside the texts, the
    // buttons in a row across the bottom; the size follows the texts.
    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    outer->addLayout(top);
    m_icon = new QLabel(this);
    m_icon->setAlignment(Qt::AlignTop);
    top->addWidget(m_icon);

    auto *column = new QVBoxLayout;
    top->addLayout(column, 1);
    // Texts wrap, but not into a narrow column.
    const int textWidth = fontMetrics().averageCharWidth() * 48;
    m_messageLabel = new QLabel(this);
    m_messageLabel->setWordWrap(true);
    QFont bold = m_messageLabel->font();
    bold.setBold(true);
    m_messageLabel->setFont(bold);
    m_messageLabel->setMinimumWidth(textWidth);
    column->addWidget(m_messageLabel);
    m_informativeLabel = new QLabel(this);
    m_informativeLabel->setWordWrap(true);
    m_informativeLabel->setMinimumWidth(textWidth);
    m_informativeLabel->hide();
    column->addWidget(m_informativeLabel);
    m_accessorySlot = new QVBoxLayout;
    column->addLayout(m_accessorySlot);
    m_suppression = new QCheckBox(tr("Do not show this message again"), this);
    m_suppression->hide();
    column->addWidget(m_suppression);
    column->addStretch(1);
    m_buttonBox = new QDialogButtonBox(this);
    outer->addSpacing(6);
    outer->addWidget(m_buttonBox);
    setAlertStyle(Style::Warning);
}

void Alert::setMessageText(const QString &text)
{
    m_message = text;
    m_messageLabel->setText(text);
}

void Alert::setInformativeText(const QString &text)
{
    m_informative = text;
    m_informativeLabel->setText(text);
    m_informativeLabel->setVisible(!text.isEmpty());
}

void Alert::setAlertStyle(Style style)
{
    m_style = style;
    QString name = QStringLiteral("dialog-warning");
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxWarning;
    if (style == Style::Informational) {
        name = QStringLiteral("dialog-information");
        pixmap = QStyle::SP_MessageBoxInformation;
    } else if (style == Style::Critical) {
        name = QStringLiteral("dialog-error");
        pixmap = QStyle::SP_MessageBoxCritical;
    }
    QIcon icon = themeIcon(name);
    if (icon.isNull())
        icon = QWidget::style()->standardIcon(pixmap);
    const int side = QWidget::style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    m_icon->setPixmap(icon.pixmap(side, side));
}

int Alert::addButton(const QString &title)
{
    const int response = FirstButton + int(m_buttonTitles.size());
    m_buttonTitles << title;
    auto *button = new QPushButton(title, this);
    m_buttons << button;
    connect(button, &QPushButton::clicked, this, [this, response] { finishWith(response); });
    layOutButtons();
    return response;
}

void Alert::setCancelResponse(int response)
{
    m_cancelResponse = response;
    layOutButtons();
}

void Alert::setDefaultResponse(int response)
{
    m_defaultResponse = response;
    layOutButtons();
}

int Alert::cancelResponse() const
{
    return m_cancelResponse >= 0 ? m_cancelResponse
                                 : FirstButton + int(std::max<qsizetype>(0, m_buttonTitles.size() - 1));
}

void Alert::layOutButtons()
{
    const int count = int(m_buttons.size());
    const int cancel = count > 1 ? cancelResponse() : -1;
    // The Escape button rejects; the default one accepts, or where Escape
    // answers the default too (a "go on" that stays the safe choice), the
    // first other one does, as Yes beside No; any further one is an action.
    int accept = m_defaultResponse;
    if (accept == cancel) {
        for (int i = 0; i < count; ++i) {
            if (FirstButton + i != cancel) {
                accept = FirstButton + i;
                break;
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        QPushButton *button = m_buttons[i];
        const int response = FirstButton + i;
        QDialogButtonBox::ButtonRole role = QDialogButtonBox::ActionRole;
        if (response == cancel)
            role = QDialogButtonBox::RejectRole;
        else if (response == accept)
            role = QDialogButtonBox::AcceptRole;
        m_buttonBox->removeButton(button);
        m_buttonBox->addButton(button, role);
        button->setDefault(response == m_defaultResponse);
        if (response == m_defaultResponse && !m_accessory)
            button->setFocus();
    }
}

void Alert::setShowsSuppressionButton(bool on)
{
    m_suppression->setVisible(on);
}
bool Alert::showsSuppressionButton() const
{
    return !m_suppression->isHidden();
}
void Alert::setSuppressionTitle(const QString &title)
{
    m_suppression->setText(title);
}
bool Alert::isSuppressed() const
{
    return m_suppression->isChecked();
}

void Alert::setAccessoryWidget(QWidget *widget)
{
    if (m_accessory)
        m_accessory->deleteLater();
    m_accessory = widget;
    if (widget) {
        widget->setParent(this);
        m_accessorySlot->addWidget(widget);
        setFocusProxy(widget);
    }
}

void Alert::reject()
{
    finishWith(cancelResponse());
}

void Alert::finishWith(int response)
{
    done(response);
}

Alert::Answer Alert::answerFromResponder()
{
    if (m_buttonTitles.isEmpty())
        addButton(tr("OK"));
    Answer answer = responder()(*this);
    m_suppression->setChecked(answer.suppressed);
    if (m_accessory && !answer.fieldText.isNull()) {
        auto *field = qobject_cast<QLineEdit *>(m_accessory);
        if (!field)
            field = m_accessory->findChild<QLineEdit *>();
        if (field)
            field->setText(answer.fieldText);
    }
    return answer;
}

int Alert::runModal()
{
    if (responder())
        return answerFromResponder().response;
    if (m_buttonTitles.isEmpty())
        addButton(tr("OK"));
    setWindowModality(Qt::ApplicationModal);
    if (parentWidget())
        Window::centreOver(this, parentWidget());
    if (m_accessory)
        m_accessory->setFocus();
    return exec();
}

void Alert::beginSheet(QWidget *window, std::function<void(int)> completion)
{
    if (responder()) {
        const int response = answerFromResponder().response;
        MainQueue::post(this, [this, response, completion = std::move(completion)] {
            completion(response);
            deleteLater();
        });
        return;
    }
    if (m_buttonTitles.isEmpty())
        addButton(tr("OK"));
    // Attached to the window, centred on it, which takes no input meanwhile.
    if (window && window->window() != parentWidget())
        setParent(window->window(), windowFlags());
    if (parentWidget())
        Window::centreOver(this, parentWidget());
    setWindowModality(Qt::WindowModal);
    connect(this, &QDialog::finished, this, [this, completion = std::move(completion)](int result) {
        completion(result);
        deleteLater();
    });
    open();
    if (m_accessory)
        m_accessory->setFocus();
}

Alert *Alert::warning(
    QWidget *parent, const QString &message, const QString &informativeText, const QStringList &buttons)
{
    auto *alert = new Alert(parent);
    alert->setAlertStyle(Style::Warning);
    alert->setMessageText(message);
    alert->setInformativeText(informativeText);
    for (const QString &title : buttons)
        alert->addButton(title);
    return alert;
}

Alert::Responder Alert::setResponder(Responder r)
{
    Responder previous = std::move(responder());
    responder() = std::move(r);
    return previous;
}

bool showAlert(const QString &message, const QString &informativeText)
{
    std::unique_ptr<Alert> alert(Alert::warning(nullptr, message, informativeText, { QObject::tr("OK") }));
    return alert->runModal() == Alert::FirstButton;
}

} // namespace platform
