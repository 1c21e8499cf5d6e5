#pragma once

#include <QLabel>

namespace fl {

// A one-line label for text that may be longer than its room: what does not fit ends in "…",
// and the whole text is the label's tooltip and accessible name. The text is shown as it is
// written (never as markup).
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    QString fullText() const { return m_full; }
    // A line the tooltip gives besides the text (empty for none).
    void setNote(const QString& note);
    QString note() const { return m_note; }
    // Whether the text on show is cut short.
    bool isElided() const { return text() != m_full; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();
    QString m_full;
    QString m_note;
};

} // namespace fl
