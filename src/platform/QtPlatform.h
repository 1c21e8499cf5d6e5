#pragma once

#include "CdDevice.h"
#include "Platform.h"

#include <QPointer>
#include <functional>
#include <memory>

class QWidget;

namespace fl {

class SongPlayer;

// The platform for the running program, on Qt's widgets and multimedia.
class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // Message boxes and dialogs are shown over this window.
    void setParentWindow(QWidget* w) { m_parent = w; }
    void setHelpFolder(const QString& folder) { m_helpFolder = folder; }
    // The program's own help window; without one, help opens the folder's pages in the browser.
    void setHelpViewer(std::function<void(const QString& topic)> viewer) { m_helpViewer = std::move(viewer); }
    // The desktop's opener of web addresses (found on the PATH as "xdg-open" when empty), and
    // how long to wait for it to report before taking it as started (milliseconds).
    void setUrlOpener(const QString& program, int timeLimitMs);
    // The CD device the program drives; until one is set, commands to it have no effect.
    void setCdDevice(std::unique_ptr<CdDevice> device);

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    Answer detailedMessageBox(const QString& text, const QString& details, const QString& title, Buttons buttons,
                              Icon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) override;
    void beep() override;
    void setHourglass(bool on) override;
    void setClipboardText(const QString& text) override;
    bool openInBrowser(const QString& url) override;
    void playSound(const QString& path) override;
    void stopSound() override;
    CdDevice& cdDevice() override;
    bool previewReport(const QString& windowTitle, PrintableReport& report) override;
    void showHelp(const QString& topic) override;

private:
    QPointer<QWidget> m_parent;
    QString m_helpFolder;
    std::function<void(const QString&)> m_helpViewer;
    int m_hourglassDepth = 0;
    QString m_urlOpener;
    int m_urlOpenerLimit = 4000;
    std::unique_ptr<SongPlayer> m_songs;
    std::unique_ptr<CdDevice> m_cd;
};

} // namespace fl
