#pragma once

#include "links/frmURL.h"

#include <QComboBox>
#include <QListWidget>

namespace fl::test {

// The titles the Web Links window lists, and the one chosen.
inline QStringList titles(const frmURL& w)
{
    QStringList t;
    for (int i = 0; i < w.lstURL->count(); ++i) t << w.lstURL->item(i)->text();
    return t;
}

inline QString selected(const frmURL& w)
{
    return w.lstURL->currentItem() ? w.lstURL->currentItem()->text() : QString();
}

inline void pickTopic(frmURL& w, const char* topic)
{
    w.cmbType->setCurrentIndex(w.cmbType->findText(topic));
}

} // namespace fl::test
