// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/BaseView.h"

// A progress view that draws a fraction of work done: 0 is nothing, 1 is
// complete. Every assignment of progress redraws, animated when `animated`
// is on; the value is stored as given, and each view decides how to draw
// values outside 0...1.
class DeterminateAnimation : public BaseView
{
    Q_OBJECT
    Q_PROPERTY(bool animated READ animated WRITE setAnimated)
    Q_PROPERTY(double progress READ progress WRITE setProgress)

public:
    bool animated() const { return m_animated; }
    void setAnimated(bool on) { m_animated = on; }
    double progress() const { return m_progress; }
    void setProgress(double value);

protected:
    using BaseView::BaseView;

    virtual void updateProgress() { }

    // How long a progress change takes to show when animated.
    static constexpr int ProgressAnimationMs = 500;

private:
    bool m_animated = true;
    double m_progress = 0.0;
};
