#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

namespace fl {

class CdDevice;

// A report laid out and ready to go to paper. The platform previews it, and prints it or
// saves it as PDF on the user's request.
class PrintableReport {
public:
    virtual ~PrintableReport() = default;
    // Lays the report out on the printer's pages and paints them; false when it could not.
    virtual bool print(QPrinter* printer) = 0;
    // Writes the report to a PDF file; false when the file could not be written.
    virtual bool writePdf(const QString& path) = 0;
    // The report's text, page by page, as it is laid out on the locale's paper (for checks).
    virtual QString plainText() = 0;
};

// Everything that blocks on the user or reaches outside the program goes through here, so
// that tests can script the user's answers and see what was shown.
class Platform {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Platform() = default;

    virtual Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
    // A message box that keeps `details` (the engine's own report, a file and line) behind a
    // button, so that the message itself stays one or two plain sentences.
    virtual Answer detailedMessageBox(const QString& text, const QString& details, const QString& title,
                                      Buttons buttons, Icon icon) = 0;
    // The typed text, or nothing when the user cancels.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;
    // The chosen file's full path; a null text when the user cancels, an empty one when the
    // dialog closed without a file. `filter` pairs descriptions and patterns, all separated
    // by "|": "Wave Files(*.wav)|*.wav|All Files(*.*)|*.*".
    virtual QString openFileDialog(const QString& title, const QString& folder, const QString& filter) = 0;
    // The path to write to (the user confirmed replacing an existing file), or an empty text
    // when the user cancels. `suggested` is the folder and name offered first.
    virtual QString saveFileDialog(const QString& title, const QString& suggested, const QString& filter) = 0;
    virtual void beep() = 0;
    virtual void setHourglass(bool on) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual bool openInBrowser(const QString& url) = 0;
    // Starts playing a sound file and returns at once; a sound still playing stops first.
    // A missing or unplayable file, or a computer without audio output, gives the default
    // sound (the beep) instead.
    virtual void playSound(const QString& path) = 0;
    // Stops the sound that playSound started, if it still plays.
    virtual void stopSound() = 0;
    // The audio CD device, for the program's whole run.
    virtual CdDevice& cdDevice() = 0;
    // Shows a preview window titled `windowTitle`, from which the user prints the report or
    // saves it as PDF; returns when the window is closed. False when it could not be shown.
    virtual bool previewReport(const QString& windowTitle, PrintableReport& report) = 0;
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
