#pragma once

#include "ui/Context.h"

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace fl {

class BirdTypePicture;
class FamilyGrid;
class FamilyGridModel;

// "Search Wizard": step 1 asks for a kind of bird and a criterion on the checklist codes of
// the current region; step 2 lists the matching families and subfamilies, and sends the
// species of one of them, or of all, to the main list. It stays open beside the main window.
class frmWizard : public QDialog {
    Q_OBJECT
public:
    // Loads a numbered picture; a null picture means it could not be loaded.
    using PictureLoader = std::function<QPixmap(int)>;

    explicit frmWizard(Context& ctx, PictureLoader loadPicture = {}, QWidget* parent = nullptr);
    ~frmWizard() override;

    void picBird_GotFocus(int index);
    void optType_Click(int index);
    void cmdNext_Click();
    void Msfg_Click();
    void cmdView_Click();
    void cmdAll_Click();
    void cmdBack_Click();
    void cmdCancel_Click();

    QLabel* lblStep = nullptr;
    QWidget* pic1 = nullptr;
    QGroupBox* fraSearch = nullptr;
    QGroupBox* fraType = nullptr;
    QRadioButton* optType[7] = {};
    BirdTypePicture* picBird[8] = {};
    QLabel* lblName[8] = {};
    FamilyGrid* msfg = nullptr;
    FamilyGridModel* grid = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdView = nullptr;
    QPushButton* cmdAll = nullptr;
    QPushButton* cmdCancel = nullptr;

    short birdType = 0;
    QString qryCriteria;

private:
    void Form_Load();
    void showStep1();
    // Lists the species of `query` (sorted here) in the main window.
    void sendList(const QString& query, const QVariantList& params);

    Context& m_ctx;
    PictureLoader m_loadPicture;
    int m_lastPicture = 0;
};

// Keeps the one wizard of the main window: opening it again only gives it the focus.
class WizardHolder : public QObject {
    Q_OBJECT
public:
    WizardHolder(Context& ctx, QObject* parent);
    ~WizardHolder() override;

    // The menu command: shows the wizard beside the main window and gives it the focus.
    void mnuSearchWizard_Click();
    // The open wizard, or null.
    frmWizard* wizard() const { return m_wizard; }

private:
    Context& m_ctx;
    QPointer<frmWizard> m_wizard;
};

} // namespace fl
