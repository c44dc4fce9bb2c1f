#pragma once

#include "ui/dialogs/DeviceEditing.h"
#include "ui/dialogs/WizardFrame.h"

#include <array>
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The add-device wizard: introduction, the device's name or address, its optional alias and
// description, and a confirmation page. "Finished" stores the device, adds its node to the
// tree and hands over to the add-port wizard for its monitored items.
class frmAddDevice final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAddDevice)

public:
    explicit frmAddDevice(const DeviceEditing& editing, QWidget* parent = nullptr);

    int page() const { return m_page; }
    QLineEdit* txtIPRange(int index) const { return m_txtIPRange.at(index); }
    QPushButton* cmdArray(int index) const;
    QCheckBox* chkShowIntro() const { return m_chkShowIntro; }
    QLabel* introText() const { return m_introText; }

    void cmdArray_Click(int index);
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildIntroPage();
    void buildNamePage();
    void buildAliasPage();
    void buildConfirmPage();
    void Form_Load();
    void Form_Activate();
    void showPage(int page);
    // False when the name was refused; the message has been shown.
    bool validateDeviceName();
    void AddDevice(const QString& device, const QString& alias, const QString& description);
    void showPortWizard(const QString& device);

    DeviceEditing m_editing;
    WizardFrame m_frame;
    std::array<QLineEdit*, 6> m_txtIPRange{};
    QPushButton* m_moreInfo = nullptr;
    QCheckBox* m_chkShowIntro = nullptr;
    QLabel* m_introText = nullptr;
    int m_page = 0;
};
