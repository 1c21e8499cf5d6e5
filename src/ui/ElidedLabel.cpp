#include "ElidedLabel.h"

#include "PlainText.h"

#include <QEvent>

namespace fl {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void ElidedLabel::setFullText(const QString& text)
{
    m_full = text;
    setAccessibleName(text);
    elide();
}

void ElidedLabel::elide()
{
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
    setText(shown);
    QString tip = shown == m_full ? QString() : m_full;
    if (!m_note.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + m_note;
    setToolTip(tip.isEmpty() ? QString() : plainToolTip(tip));
}

void ElidedLabel::setNote(const QString& note)
{
    m_note = note;
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) elide();
}

} // namespace fl
