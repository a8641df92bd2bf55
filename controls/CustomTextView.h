// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMargins>
#include <QPlainTextEdit>

#include <optional>

// A plain text view that shows a grey placeholder while it holds no text.
class CustomTextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit CustomTextView(QWidget *parent = nullptr);

    // Sets the placeholder, in the theme's placeholder grey. It shows from
    // the next repaint on.
    void makePlaceholderAttributedString(const QString &text);
    std::optional<QString> placeholderAttributedString() const { return m_placeholder; }

    // Where the placeholder stands inside the view: by default 4 points in
    // from each side on top of the view's own inset.
    QMargins placeholderInsets() const { return m_placeholderInsets; }
    void setPlaceholderInsets(const QMargins &insets) { m_placeholderInsets = insets; }

    bool showsPlaceholder() const;
    // The placeholder's rectangle within the given area of the view.
    QRect placeholderRect(const QRect &area) const;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QString> m_placeholder;
    // Whether the last repaint of the whole view drew the placeholder.
    bool m_placeholderShown = false;
    QMargins m_placeholderInsets { 4, 0, 4, 0 };
};
