#include "Reports.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "ReportControl.h"
#include "ReportPrinter.h"
#include "lists/ListCounts.h"
#include "platform/Platform.h"
#include "report/ReportDefinition.h"
#include "report/ReportError.h"

#include <QDate>

namespace fl {

namespace {

// "{checklists.reg_ID} = " and the region of the Options row.
QString regionSelection(Context& ctx)
{
    return QStringLiteral("{checklists.reg_ID} = ")
        + QString::number(ctx.state.rsOptions.field(QStringLiteral("Reg_ID")).toInt());
}

// Runs the steps that print a report; any failure ends them with its number.
template <typename Steps>
void runReport(Context& ctx, Steps steps)
{
    int number = 0;
    QString details; // what went wrong, with the definition's file and line where there is one
    try {
        steps();
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

// The same with the steps that set the control's properties.
template <typename Steps>
void printReport(Context& ctx, ReportControl& rpt, Steps steps)
{
    runReport(ctx, [&] { steps(rpt); });
}

} // namespace

void mnuReportChecklist_Click(Context& ctx, ReportControl& control)
{
    printReport(ctx, control, [&](ReportControl& rpt) {
        rpt.setReportFileName(QStringLiteral("checklist.rpt"));
        rpt.setWindowTitle(QStringLiteral("Checklist Report"));
        rpt.setSelectionFormula(regionSelection(ctx));
        rpt.setFormulas(0, QStringLiteral("Title = 'Checklist For ' + {options.regname}"));
        rpt.setFormulas(1, QStringLiteral("Lifer = '[    ]'"));
        rpt.setAction(1);
    });
}

void mnuReportLife_Click(Context& ctx, ReportControl& control)
{
    printReport(ctx, control, [&](ReportControl& rpt) {
        rpt.setReportFileName(QStringLiteral("life.rpt"));
        rpt.setSelectionFormula(regionSelection(ctx));
        rpt.setWindowTitle(QStringLiteral("Life List Report"));
        rpt.setFormulas(0, QStringLiteral("Title = 'Life List For ' + {options.regname}"));
        rpt.setFormulas(1, QStringLiteral("if {Birds.LifeList} > 0 then '[X]' Else '[   ]'"));
        rpt.setAction(1);
    });
}

void mnuReportSeen_Click(Context& ctx, ReportControl& control)
{
    printReport(ctx, control, [&](ReportControl& rpt) {
        rpt.setReportFileName(QStringLiteral("seen.rpt"));
        rpt.setWindowTitle(QStringLiteral("Seen Species Report"));
        rpt.setSelectionFormula(regionSelection(ctx) + QStringLiteral(" and {Birds.LifeList} > 0"));
        rpt.setFormulas(0, QStringLiteral("Title = 'Species Seen In ' + {options.regname}"));
        rpt.setAction(1);
    });
}

void mnuReportYear_Click(Context& ctx)
{
    const QString title = QStringLiteral("Year List Report");
    AppState& s = ctx.state;
    const int regId = s.rsOptions.field(QStringLiteral("Reg_ID")).toInt();
    const QString regname = s.rsOptions.field(QStringLiteral("regname")).toString();
    ListSightings sightings;
    ListCounts counts;
    {
        Hourglass busy(ctx.platform);
        sightings.load(s.db());
        counts.count(sightings, regId, {});
    }
    const ListPlace place{regId ? ListPlace::Kind::Region : ListPlace::Kind::World, regId, -1, {}};
    int latest = 0;
    for (const ListSummary& l : counts.lists())
        if (l.period == ListPeriod::Year && counts.places()[size_t(l.place)].id == regId
            && counts.places()[size_t(l.place)].kind == place.kind)
            latest = std::max(latest, l.value);
    const std::optional<QString> typed = ctx.platform.inputBox(
        QStringLiteral("The year list of %1 for the year:").arg(regname), title,
        QString::number(latest ? latest : QDate::currentDate().year()));
    if (!typed) return;
    bool ok = false;
    const int year = typed->trimmed().toInt(&ok);
    if (!ok || year < 1 || year > 9999) {
        ctx.platform.messageBox(QStringLiteral("\"%1\" is not a year.").arg(typed->trimmed()), title, Platform::Buttons::Ok,
                                Platform::Icon::Exclamation);
        return;
    }
    const int list = counts.find(place, ListPeriod::Year, year);
    if (list < 0) {
        ctx.platform.messageBox(QStringLiteral("There are no sightings in %1 in %2.").arg(regname).arg(year), title,
                                Platform::Buttons::Ok, Platform::Icon::Information);
        return;
    }
    report::ListReportData data;
    data.name = QString::number(year);
    data.place = regname;
    for (const ListSpeciesRow& r : counts.rows(sightings, list))
        data.rows << report::ListReportRow{r.birdId, r.first, r.last, r.site, r.region, r.records, r.isNew};
    printList(ctx, data, title);
}

void printList(Context& ctx, const report::ListReportData& list, const QString& windowTitle)
{
    runReport(ctx, [&] {
        std::unique_ptr<ReportPrinter> printer;
        {
            Hourglass busy(ctx.platform);
            const report::ReportDefinition def =
                report::loadDefinition(resolvePath(ctx.state.shareFolder, QStringLiteral("list.rpt")));
            printer = std::make_unique<ReportPrinter>(
                report::buildListReport(ctx.state.db(), def, list, {}, {}, QDate::currentDate()),
                ctx.state.databasePath(), &ctx.platform);
        }
        if (!ctx.platform.previewReport(windowTitle, *printer))
            throw report::ReportError(report::kErrOutput, QStringLiteral("The report could not be shown"));
    });
}

} // namespace fl
