#include "ui/dialogs/PropertiesFrame.h"

#include "ui/dialogs/DialogText.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

PropertiesFrame::PropertiesFrame(QDialog& dialog, const QString& tab,
                                 const std::array<QString, 3>& labels)
    : TabStrip1(new QTabWidget(&dialog)) {
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    auto* frame = new QWidget(TabStrip1);
    frame->setObjectName(QStringLiteral("frmArray"));
    auto* form = new QFormLayout(frame);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (int i = 0; i < 3; ++i) {
        txtArray[i] = new QLineEdit(frame);
        txtArray[i]->setObjectName(QStringLiteral("txtArray(%1)").arg(i));
        txtArray[i]->setMinimumWidth(260);
        DialogText::selectAllOnFocus(txtArray[i]);
        form->addRow(labels[i], txtArray[i]);
    }
    TabStrip1->addTab(frame, tab);

    cmdArray[0] = new QPushButton(QStringLiteral("OK"), &dialog);
    cmdArray[1] = new QPushButton(QStringLiteral("Cancel"), &dialog);
    for (int i = 0; i < 2; ++i)
        cmdArray[i]->setObjectName(QStringLiteral("cmdArray(%1)").arg(i));
    cmdArray[0]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdArray[0]);
    buttons->addWidget(cmdArray[1]);

    auto* outer = new QVBoxLayout(&dialog);
    outer->addWidget(TabStrip1, 1);
    outer->addLayout(buttons);
}
