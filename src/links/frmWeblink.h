#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace fl {

struct Context;
class frmURL;

// "Add Web Link": a title and an address, filed under the category the link window shows:
// the species on show in bird mode, else the selected topic.
class frmWeblink : public QDialog {
    Q_OBJECT
public:
    frmWeblink(Context& ctx, frmURL& links, QWidget* parent = nullptr);

    void cmdLink_Click();

    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtUrl = nullptr;
    QPushButton* cmdLink = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    Context& m_ctx;
    frmURL& m_links;
};

} // namespace fl
