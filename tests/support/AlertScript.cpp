// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AlertScript.h"

#include <gtest/gtest.h>

namespace testsupport {

namespace {
// The last button is the cancelling one by convention.
platform::Alert::Answer cancelAnswer(const platform::Alert &alert)
{
    platform::Alert::Answer answer;
    answer.response = platform::Alert::FirstButton + int(alert.buttonTitles().size()) - 1;
    return answer;
}
} // namespace

AlertScript::AlertScript()
{
    m_previous = platform::Alert::setResponder([this](const platform::Alert &alert) {
        m_shown.push_back({ alert.messageText(), alert.informativeText(), alert.buttonTitles() });
        if (m_answers.empty()) {
            ADD_FAILURE() << "Unscripted alert: " << qPrintable(alert.messageText()) << " / "
                          << qPrintable(alert.informativeText());
            return cancelAnswer(alert);
        }
        platform::Alert::Answer next = m_answers.front();
        m_answers.pop_front();
        return next;
    });
}

AlertScript::~AlertScript()
{
    platform::Alert::setResponder(std::move(m_previous));
}

AlertScript &AlertScript::answer(int response, bool suppressed, const QString &fieldText)
{
    platform::Alert::Answer next;
    next.response = response;
    next.suppressed = suppressed;
    next.fieldText = fieldText;
    m_answers.push_back(next);
    return *this;
}

void installUnexpectedAlertGuard()
{
    platform::Alert::setResponder([](const platform::Alert &alert) {
        ADD_FAILURE() << "Unexpected alert: " << qPrintable(alert.messageText()) << " / "
                      << qPrintable(alert.informativeText());
        return cancelAnswer(alert);
    });
}

} // namespace testsupport
