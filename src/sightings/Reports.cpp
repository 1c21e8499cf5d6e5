#include "Reports.h"

#include "state/AppState.h"
#include "ReportControl.h"
#include "platform/Platform.h"
#include "report/ReportError.h"

namespace fl {

namespace {

// "{checklists.reg_ID} = " and the region of the Options row.
QString regionSelection(Context& ctx)
{
    return QStringLiteral("{checklists.reg_ID} = ")
        + QString::number(ctx.state.rsOptions.field(QStringLiteral("Reg_ID")).toInt());
}

// Runs the steps that set the control's properties; any failure ends them with its number.
template <typename Steps>
void printReport(Context& ctx, Steps steps)
{
    int number = 0;
    QString details; // what went wrong, with the definition's file and line where there is one
    try {
        steps(rpt1(ctx));
        return;
    } catch (const report::ReportError& e) {
        number = e.number();
        details = e.message();
    } catch (const db::DbError& e) {
        number = report::kErrDatabase;
        details = e.message();
    } catch (const std::exception& e) {
        number = report::kErrOutput;
        details = QString::fromUtf8(e.what());
    }
    ctx.platform.detailedMessageBox(QStringLiteral("Problem printing report. Error # ") + QString::number(number), details,
                                    QStringLiteral("Report Error"), Platform::Buttons::YesNo, Platform::Icon::Exclamation);
}

} // namespace

void mnuReportChecklist_Click(Context& ctx)
{
    printReport(ctx, [&](ReportControl& rpt) {
        rpt.setReportFileName(QStringLiteral("checklist.rpt"));
        rpt.setWindowTitle(QStringLiteral("Checklist Report"));
        rpt.setSelectionFormula(regionSelection(ctx));
        rpt.setFormulas(0, QStringLiteral("Title = 'Checklist For ' + {options.regname}"));
        rpt.setFormulas(1, QStringLiteral("Lifer = '[    ]'"));
        rpt.setAction(1);
    });
}

void mnuReportLife_Click(Context& ctx)
{
    printReport(ctx, [&](ReportControl& rpt) {
        rpt.setReportFileName(QStringLiteral("life.rpt"));
        rpt.setSelectionFormula(regionSelection(ctx));
        rpt.setWindowTitle(QStringLiteral("Life List Report"));
        rpt.setFormulas(0, QStringLiteral("Title = 'Life List For ' + {options.regname}"));
        rpt.setFormulas(1, QStringLiteral("if {Birds.LifeList} > 0 then '[X]' Else '[   ]'"));
        rpt.setAction(1);
    });
}

} // namespace fl
