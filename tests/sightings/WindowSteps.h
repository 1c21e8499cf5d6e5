#pragma once

// What the window tests of this folder share: the program with Ontario current, files written
// for a command to read, and the user's steps in a window that a command opens modally.

#include "Harness.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <gtest/gtest.h>
#include <memory>

namespace fl::test {

// The program on the fixture with Ontario (the State of species 1 to 6) current and its life
// list counts as given; `more` runs on the database before the program opens it, and `vfs`
// names the engine file layer it is opened through.
inline std::unique_ptr<Harness> ontario(int lifesum, int lifetotal,
                                        const std::function<void(TestFolder&)>& more = {},
                                        const QString& vfs = {})
{
    return std::make_unique<Harness>(
        [&](TestFolder& f) {
            f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', "
                   "lifesum = ?, lifetotal = ?",
                   {lifesum, lifetotal});
            if (more) more(f);
        },
        vfs);
}

// Runs `open`, a step that shows a window of type W modally, and `work` on that window once it
// is up; a window that `work` leaves up is closed. A window that does not come up fails the
// test, and whatever is up instead is closed.
template <class W>
void inWindow(const std::function<void()>& open, const std::function<void(W&)>& work)
{
    bool up = false;
    QTimer timer; // gone with the step, so that it never fires in a later one
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
        if (!w) {
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
            return;
        }
        up = true;
        work(*w);
        if (w->isVisible()) w->close();
    });
    timer.start(0);
    open();
    EXPECT_TRUE(up) << "the window expected did not come up";
}

// The rows the queries read, one a line with its fields joined by '|': what a test compares
// before and after a step that must change nothing.
inline QStringList rowsOf(Harness& h, std::initializer_list<const char*> queries)
{
    QStringList out;
    for (const char* sql : queries) {
        auto rs = h.db().openRecordset(QString::fromLatin1(sql), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldNames().size(); ++i) fields << rs.field(i).toString();
            out << fields.join(u'|');
        }
    }
    return out;
}

// The region of an eBird region code.
inline int regionOf(Harness& h, const char* code)
{
    const QString sql = QStringLiteral("SELECT Reg_ID FROM Regions WHERE Code = ?");
    return h.scalar(sql, {QString::fromLatin1(code)}).toInt();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    f.write(bytes);
}

inline void choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << qPrintable(text);
    box->setCurrentIndex(i);
}

} // namespace fl::test
