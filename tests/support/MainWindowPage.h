#pragma once

#include "browser/SeasonChart.h"
#include "ui/ElidedLabel.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <stdexcept>

namespace fl::test {

// The main window as a user sees it: its species list, the bird page and the picture area,
// found by the names the window gives its parts. A part that is missing fails the test.
class MainWindowPage {
public:
    explicit MainWindowPage(const QWidget* window) : m_window(window) {}

    // The species list and its names.
    QComboBox* list() const { return part<QComboBox>("cmbNames"); }
    QStringList names() const
    {
        QStringList all;
        for (int i = 0; i < list()->count(); ++i) all << list()->itemText(i);
        return all;
    }
    // The name labels: 0 the species' name, 1 its family, 2 its order, 3 the picture's
    // title, 4 the scientific name.
    QLabel* label(int i) const { return part<QLabel>(QStringLiteral("lblName(%1)").arg(i)); }
    QString birdName() const { return label(0)->text(); }
    QTextEdit* description() const { return part<QTextEdit>("txtData"); }
    QLabel* status() const { return part<QLabel>("lblStatus"); }
    ElidedLabel* seen() const { return part<ElidedLabel>("lblSeen"); }
    SeasonChart* seasons() const { return part<SeasonChart>(""); }
    // The icons: 0 web links, 1 status details, 2 next picture, 3 whole picture.
    QToolButton* icon(int i) const { return part<QToolButton>(QStringLiteral("img(%1)").arg(i)); }
    // The frames: 0 the page, 1 the picture area.
    QFrame* frame(int i) const { return part<QFrame>(QStringLiteral("picCont(%1)").arg(i)); }
    // The picture's viewport, the picture in it, and what shows instead when there is none.
    QWidget* viewport() const { return part<QWidget>("Picture1"); }
    QLabel* picture() const { return part<QLabel>("Picture2"); }
    QWidget* noPicture() const { return part<QWidget>("picNone"); }
    QLabel* silhouette() const { return part<QLabel>("imgNoPicture"); }
    QLabel* noPictureText() const { return part<QLabel>("lblNoPicture"); }
    QToolBar* toolbar() const { return part<QToolBar>("Toolbar1"); }

private:
    template <class T>
    T* part(const QString& name) const
    {
        T* found = name.isEmpty() ? m_window->findChild<T*>() : m_window->findChild<T*>(name);
        if (!found) throw std::logic_error("the main window has no part named " + name.toStdString());
        return found;
    }
    template <class T>
    T* part(const char* name) const
    {
        return part<T>(QString::fromLatin1(name));
    }

    const QWidget* m_window;
};

} // namespace fl::test
