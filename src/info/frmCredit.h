#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace fl {

struct Context;

// "Featherlog Credits": where the program's data and pictures come from, and our thanks.
class frmCredit : public QDialog {
    Q_OBJECT
public:
    explicit frmCredit(QWidget* parent = nullptr);

    QLabel* picCredit = nullptr;
    QLabel* lblThanks = nullptr;
    QLabel* lblSource[4] = {}; // taxonomy, texts and pictures, codes, pictures and songs
    QPushButton* cmdOK = nullptr;

private:
    void Form_Load();
};

void mnuHelpCredits_Click(Context& ctx);

} // namespace fl
