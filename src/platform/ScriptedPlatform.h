#pragma once

#include "CdDevice.h"
#include "Platform.h"

#include <QHash>
#include <QList>
#include <deque>

namespace fl {

// A CD device for tests: records every command with its reply capacity and answers from
// `replies` (an empty reply for a command without one).
class ScriptedCdDevice : public CdDevice {
public:
    struct Sent {
        QString command;
        int replyCapacity;
    };
    QHash<QString, QString> replies;
    QList<Sent> sent;

    QString send(const QString& command, int replyCapacity) override;
    QStringList commands() const;
};

// A platform for tests: answers are queued in advance and every call is recorded.
// A message box without a queued answer gets the first button's answer (OK or Yes).
class ScriptedPlatform : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        QString details; // what a detailed message box keeps behind its button
    };

    // Queued answers, taken in order.
    std::deque<Answer> answers;
    std::deque<QString> inputs; // a null text stands for Cancel
    std::deque<QString> files; // a null text stands for Cancel
    // The CD device handed out; the scripted one unless a test puts in another.
    ScriptedCdDevice scriptedCd;
    CdDevice* cd = &scriptedCd;
    bool browserOpens = true; // what openInBrowser reports

    // What happened.
    QList<Message> messages;
    QStringList prompts;
    struct FileDialog {
        QString title;
        QString folder;
        QString filter;
    };
    QList<FileDialog> fileDialogs;
    int beeps = 0;
    int hourglassDepth = 0;
    int hourglassShown = 0;
    QString clipboard;
    QStringList browsed;
    QStringList sounds;
    int soundStops = 0;
    // Each report previewed: its window title and its text as laid out. When `reportPdfFolder`
    // is set, each is also written there as report<n>.pdf (n from 1), named in `pdf`.
    struct ShownReport {
        QString windowTitle;
        QString text;
        QString pdf;
    };
    QList<ShownReport> reports;
    QString reportPdfFolder;
    QStringList helpTopics;

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    Answer detailedMessageBox(const QString& text, const QString& details, const QString& title, Buttons buttons,
                              Icon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const QString& title, const QString& folder, const QString& filter) override;
    // Save dialogs take their answers from `files` too; what they offered is kept.
    QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) override;
    QStringList suggestedFiles;
    void beep() override { ++beeps; }
    void setHourglass(bool on) override;
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool openInBrowser(const QString& url) override
    {
        browsed << url;
        return browserOpens;
    }
    void playSound(const QString& path) override { sounds << path; }
    void stopSound() override { ++soundStops; }
    CdDevice& cdDevice() override { return *cd; }
    bool previewReport(const QString& windowTitle, PrintableReport& report) override;
    void showHelp(const QString& topic) override { helpTopics << topic; }
};

} // namespace fl
