// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/Alert.h"

#include <QStringList>

#include <deque>

namespace testsupport {

// Answers alerts from a script while it lives; records what each showed.
// An alert beyond the script fails the test. Outside any script, the test
// program's guard fails every alert.
class AlertScript
{
public:
    struct Shown
    {
        QString message;
        QString informative;
        QStringList buttons;
    };

    AlertScript();
    ~AlertScript();
    AlertScript(const AlertScript &) = delete;
    AlertScript &operator=(const AlertScript &) = delete;

    AlertScript &answer(int response, bool suppressed = false, const QString &fieldText = QString());
    const std::vector<Shown> &shown() const { return m_shown; }
    int remaining() const { return int(m_answers.size()); }

private:
    std::deque<platform::Alert::Answer> m_answers;
    std::vector<Shown> m_shown;
    platform::Alert::Responder m_previous;
};

// Installs the guard that fails a test when an unexpected alert appears.
void installUnexpectedAlertGuard();

} // namespace testsupport
