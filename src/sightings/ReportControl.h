#pragma once

#include "ui/Context.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

namespace fl {

// The report control of the main window (`rpt1`, one for the run): it is given a report definition file, a window
// title, a record selection formula and numbered formulas "Name = expression", and prints
// the report when its action is set to 1. Failures are raised as report::ReportError, whose
// number identifies them. Every property set is recorded, in order.
class ReportControl : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFormulas = 100;

    ReportControl(Context& ctx, QObject* parent);

    void setReportFileName(const QString& file);
    void setWindowTitle(const QString& title);
    void setSelectionFormula(const QString& formula);
    // `index` 0 to kMaxFormulas - 1.
    void setFormulas(int index, const QString& formula);
    // 1 builds the report from the current database and shows its preview; the report
    // definition is read from the folder of the files that come with the program.
    void setAction(int action);

    QString reportFileName() const { return m_file; }
    QString windowTitle() const { return m_title; }
    QString selectionFormula() const { return m_selection; }
    QString formulas(int index) const { return m_formulas.value(index); }

    // The properties as they were set: the property's name ("Formulas(1)") and its value.
    struct Setting {
        QString property;
        QString value;
        friend bool operator==(const Setting&, const Setting&) = default;
    };
    QList<Setting> settings;

private:
    void run();
    Context& m_ctx;
    QString m_file;
    QString m_title;
    QString m_selection;
    QMap<int, QString> m_formulas;
};

} // namespace fl
