#include "ReportControl.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "ReportPrinter.h"
#include "ui/MainWindow.h"

#include <QWidget>
#include "platform/Platform.h"
#include "report/ReportBuilder.h"

#include <QDate>
#include <QFileInfo>

namespace fl {

using report::ReportError;

ReportControl::ReportControl(Context& ctx, QObject* parent) : QObject(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("rpt1"));
}

void ReportControl::setReportFileName(const QString& file)
{
    settings << Setting{QStringLiteral("ReportFileName"), file};
    m_file = file;
}

void ReportControl::setWindowTitle(const QString& title)
{
    settings << Setting{QStringLiteral("WindowTitle"), title};
    m_title = title;
}

void ReportControl::setSelectionFormula(const QString& formula)
{
    settings << Setting{QStringLiteral("SelectionFormula"), formula};
    m_selection = formula;
}

void ReportControl::setFormulas(int index, const QString& formula)
{
    settings << Setting{QStringLiteral("Formulas(%1)").arg(index), formula};
    if (index < 0 || index >= kMaxFormulas)
        throw ReportError(report::kErrBadProperty, QStringLiteral("There is no formula number %1").arg(index));
    m_formulas.insert(index, formula);
}

void ReportControl::setAction(int action)
{
    settings << Setting{QStringLiteral("Action"), QString::number(action)};
    if (action != 1) throw ReportError(report::kErrBadProperty, QStringLiteral("Unknown report action %1").arg(action));
    run();
}

void ReportControl::run()
{
    if (m_file.trimmed().isEmpty()) throw ReportError(report::kErrNoDefinition, QStringLiteral("No report file is given"));
    const QString path = QFileInfo(m_file).isAbsolute() ? m_file : resolvePath(m_ctx.state.shareFolder, m_file);
    QStringList formulas;
    if (!m_formulas.isEmpty())
        for (int i = 0; i <= m_formulas.lastKey(); ++i) formulas << m_formulas.value(i);
    std::unique_ptr<ReportPrinter> printer;
    {
        Hourglass busy(m_ctx.platform);
        const report::ReportDefinition def = report::loadDefinition(path);
        printer = std::make_unique<ReportPrinter>(
            report::buildReport(m_ctx.state.db(), def, m_selection, formulas, QDate::currentDate()),
            m_ctx.state.databasePath(), &m_ctx.platform);
    }
    if (!m_ctx.platform.previewReport(m_title, *printer))
        throw ReportError(report::kErrOutput, QStringLiteral("The report could not be shown"));
}

} // namespace fl
