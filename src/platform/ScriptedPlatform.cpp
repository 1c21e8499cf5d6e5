#include "ScriptedPlatform.h"

#include <QDir>

namespace fl {

Platform::Answer ScriptedPlatform::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    return detailedMessageBox(text, {}, title, buttons, icon);
}

Platform::Answer ScriptedPlatform::detailedMessageBox(const QString& text, const QString& details, const QString& title,
                                                      Buttons buttons, Icon icon)
{
    messages << Message{text, title, buttons, icon, details};
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

std::optional<QString> ScriptedPlatform::inputBox(const QString& prompt, const QString&, const QString& defaultText)
{
    prompts << prompt;
    const QString answer = inputs.empty() ? defaultText : inputs.front();
    if (!inputs.empty()) inputs.pop_front();
    if (answer.isNull()) return std::nullopt;
    return answer;
}

QString ScriptedPlatform::openFileDialog(const QString& title, const QString& folder, const QString& filter)
{
    prompts << title;
    fileDialogs << FileDialog{title, folder, filter};
    if (files.empty()) return {};
    const QString f = files.front();
    files.pop_front();
    return f;
}

QString ScriptedPlatform::saveFileDialog(const QString& title, const QString& suggested, const QString& filter)
{
    suggestedFiles << suggested;
    return openFileDialog(title, suggested, filter);
}

void ScriptedPlatform::setHourglass(bool on)
{
    if (on) {
        ++hourglassDepth;
        ++hourglassShown;
    } else if (hourglassDepth > 0) {
        --hourglassDepth;
    }
}

QString ScriptedCdDevice::send(const QString& command, int replyCapacity)
{
    sent << Sent{command, replyCapacity};
    return replies.value(command);
}

QStringList ScriptedCdDevice::commands() const
{
    QStringList list;
    for (const Sent& s : sent) list << s.command;
    return list;
}

bool ScriptedPlatform::previewReport(const QString& windowTitle, PrintableReport& report)
{
    ShownReport shown{windowTitle, report.plainText(), {}};
    if (!reportPdfFolder.isEmpty()) {
        shown.pdf = QDir(reportPdfFolder).filePath(QStringLiteral("report%1.pdf").arg(reports.size() + 1));
        if (!report.writePdf(shown.pdf)) shown.pdf.clear();
    }
    reports << shown;
    return true;
}

} // namespace fl
