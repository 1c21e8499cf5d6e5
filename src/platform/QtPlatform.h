#pragma once

#include "Platform.h"

#include <QPointer>
#include <memory>

class QWidget;
class QSoundEffect;

namespace fl {

// The platform for the running program, on Qt's widgets and multimedia.
class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // Message boxes and dialogs are shown over this window.
    void setParentWindow(QWidget* w) { m_parent = w; }
    void setHelpFolder(const QString& folder) { m_helpFolder = folder; }

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) override;
    void beep() override;
    void setHourglass(bool on) override;
    void setClipboardText(const QString& text) override;
    bool openInBrowser(const QString& url) override;
    bool playSound(const QString& path) override;
    bool cdAvailable() override;
    bool cdPlay(int track, double start, double duration) override;
    void cdStop() override;
    void cdClose() override;
    bool printReport(const Report& report) override;
    void showHelp(const QString& topic) override;

private:
    QPointer<QWidget> m_parent;
    QString m_helpFolder;
    int m_hourglassDepth = 0;
    std::unique_ptr<QSoundEffect> m_sound;
};

} // namespace fl
