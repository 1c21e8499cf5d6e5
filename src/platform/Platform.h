#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace fl {

// Everything that blocks on the user or reaches outside the program goes through here, so
// that tests can script the user's answers and see what was shown.
class Platform {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // A report to print or preview: a title and its body as simple HTML.
    struct Report {
        QString title;
        QString html;
    };

    virtual ~Platform() = default;

    virtual Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
    // The typed text, or nothing when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The chosen file's path, or an empty text when the user cancels.
    virtual QString openFileDialog(const QString& title, const QString& folder, const QString& filter) = 0;
    // The path to write to (the user confirmed replacing an existing file), or an empty text
    // when the user cancels. `suggested` is the folder and name offered first.
    virtual QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) = 0;
    virtual void beep() = 0;
    virtual void setHourglass(bool on) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual bool openInBrowser(const QString& url) = 0;
    // Plays a sound file without waiting; false when it cannot be played.
    virtual bool playSound(const QString& path) = 0;
    // The audio CD drive: play `duration` seconds of `track` from `start`; stop; close.
    virtual bool cdAvailable() = 0;
    virtual bool cdPlay(int track, double start, double duration) = 0;
    virtual void cdStop() = 0;
    virtual void cdClose() = 0;
    virtual bool printReport(const Report& report) = 0;
    virtual void showHelp(const QString& topic) = 0;
};

// Shows the hourglass for the life of the object.
class Hourglass {
public:
    explicit Hourglass(Platform& p) : m_p(p) { m_p.setHourglass(true); }
    ~Hourglass() { m_p.setHourglass(false); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    Platform& m_p;
};

} // namespace fl
