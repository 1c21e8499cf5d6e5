#include "ScriptedPlatform.h"

namespace fl {

Platform::Answer ScriptedPlatform::messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon)
{
    messages << Message{text, title, buttons, icon};
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

QString ScriptedPlatform::openFileDialog(const QString& title, const QString&, const QString&)
{
    prompts << title;
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

bool ScriptedPlatform::cdPlay(int track, double start, double duration)
{
    cdCalls << QStringLiteral("play %1 %2 %3").arg(track).arg(start).arg(duration);
    return cdPresent;
}

} // namespace fl
