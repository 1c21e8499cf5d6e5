#include "frmOptions.h"

#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace fl {

frmOptions::frmOptions(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowIcon(ImageList1::icon(22));

    Frame1 = new QGroupBox;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* boxes = new QVBoxLayout(Frame1);
    const char* captions[] = {"Text box background color is yellow", "Use Heronsong Eastern/Central Song CD"};
    for (int i = 0; i < 2; ++i) {
        chkOption[i] = new QCheckBox(QString::fromLatin1(captions[i]));
        chkOption[i]->setObjectName(QStringLiteral("chkOption(%1)").arg(i));
        boxes->addWidget(chkOption[i]);
    }

    cmdOK = new QPushButton(QStringLiteral("&OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);

    connectGuarded(cmdOK, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The options could not be saved."),
                   [this] { cmdOK_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });
    Form_Load();
}

void frmOptions::Form_Load()
{
    chkOption[0]->setChecked(m_ctx.state.wincolor);
    chkOption[1]->setChecked(m_ctx.state.SongCD);
}

void frmOptions::cmdOK_Click()
{
    AppState& s = m_ctx.state;
    // A box in its third, greyed state counts as checked.
    const bool yellow = chkOption[0]->checkState() != Qt::Unchecked;
    const bool songCD = chkOption[1]->checkState() != Qt::Unchecked;
    // The row is written first: when the database refuses, nothing has changed and the
    // dialog stays open.
    try {
        OptionsChange change;
        change.wincolor = yellow;
        change.songCD = songCD;
        writeOptions(s, change);
    } catch (const std::exception& e) {
        m_ctx.platform.messageBox(QString::fromUtf8(e.what()), windowTitle(), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
        return;
    }
    s.wincolor = yellow;
    if (m_ctx.main) m_ctx.main->setTextBackground(yellow);
    s.SongCD = songCD;
    accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

void mnuViewOptions_Click(Context& ctx)
{
    frmOptions dialog(ctx, ctx.main ? ctx.main->dialogParent() : nullptr);
    dialog.exec();
}

} // namespace fl
