#pragma once

#include "Platform.h"

#include <QList>
#include <deque>

namespace fl {

// A platform for tests: answers are queued in advance and every call is recorded.
// A message box without a queued answer gets the first button's answer (OK or Yes).
class ScriptedPlatform : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    // Queued answers, taken in order.
    std::deque<Answer> answers;
    std::deque<QString> inputs; // a null text stands for Cancel
    std::deque<QString> files;
    bool cdPresent = false;

    // What happened.
    QList<Message> messages;
    QStringList prompts;
    int beeps = 0;
    int hourglassDepth = 0;
    int hourglassShown = 0;
    QString clipboard;
    QStringList browsed;
    QStringList sounds;
    QStringList cdCalls;
    QList<Report> reports;
    QStringList helpTopics;

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFileDialog(const QString& title, const QString& folder, const QString& filter) override;
    // Save dialogs take their answers from `files` too; what they offered is kept.
    QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) override;
    QStringList suggestedFiles;
    void beep() override { ++beeps; }
    void setHourglass(bool on) override;
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool openInBrowser(const QString& url) override { browsed << url; return true; }
    bool playSound(const QString& path) override { sounds << path; return true; }
    bool cdAvailable() override { return cdPresent; }
    bool cdPlay(int track, double start, double duration) override;
    void cdStop() override { cdCalls << QStringLiteral("stop"); }
    void cdClose() override { cdCalls << QStringLiteral("close"); }
    bool printReport(const Report& report) override { reports << report; return true; }
    void showHelp(const QString& topic) override { helpTopics << topic; }
};

} // namespace fl
