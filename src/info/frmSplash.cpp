#include "frmSplash.h"

#include "InfoTexts.h"
#include "ui/ImageList.h"
#include "ui/Silhouettes.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace fl {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, QColor(0x20, 0x30, 0x40));
    setPalette(p);

    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::Box);
    picLogo = new QLabel;
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(silhouette(131)); // a long-legged wader, our own drawing
    lblProductName = new QLabel(info::productName());
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont big = lblProductName->font();
    big.setPointSize(big.pointSize() + 14);
    big.setBold(true);
    lblProductName->setFont(big);
    lblVersion = new QLabel(info::versionLine());
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblCopyright = new QLabel(info::copyrightLine() + QStringLiteral("\nFree software under the MIT License"));
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblProductName);
    texts->addWidget(lblVersion);
    texts->addStretch(1);
    texts->addWidget(lblCopyright);
    auto* inner = new QHBoxLayout(frame);
    inner->setContentsMargins(24, 24, 24, 24);
    inner->setSpacing(24);
    inner->addWidget(picLogo, 0, Qt::AlignVCenter);
    inner->addLayout(texts, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setFixedSize(sizeHint().expandedTo(QSize(480, 200)));
}

void frmSplash::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    // Paint now: the main window's loading keeps the event loop busy until it ends.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void loadBehindSplash(const std::function<void()>& load, const std::function<void()>& showMain)
{
    {
        frmSplash splash;
        splash.Form_Load();
        load(); // an error leaves this block, and the splash with it
        splash.close();
    }
    showMain();
}

} // namespace fl
