#pragma once

#include "ui/dialogs/DeviceEditing.h"
#include "ui/dialogs/WizardFrame.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The add-port wizard: chooses which items of one device are monitored, the ping check and
// any of the well-known TCP ports. The device is named when the wizard is made. It shows the
// ports with the device's current items ticked, then the items to add and to drop, and on
// "Finished >" deletes the dropped items before it adds the new ones, in the database and in
// the device tree.
class frmAddPort final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAddPort)

public:
    frmAddPort(const DeviceEditing& editing, const QString& device, QWidget* parent = nullptr);

    int page() const { return m_page; }
    QString device() const { return m_device; }
    QPushButton* cmdArray(int index) const;
    QCheckBox* chkShowPortSelectIntro() const { return m_chkShowPortSelectIntro; }
    QLabel* introText() const { return m_introText; }
    QTreeWidget* lvListView() const { return m_lvListView; }
    QListWidget* lstPortsAdd() const { return m_lstPortsAdd; }
    QListWidget* lstPortDelete() const { return m_lstPortDelete; }
    // The list row showing a port ("Ping" for the ping check), or null.
    QTreeWidgetItem* row(const QString& text) const;

    void cmdArray_Click(int index);
    void reject() override;

    // The comparisons of the current ports (as stored) with the ticked ones ("0" for Ping).
    static QStringList GetDeletedPorts(const QStringList& current, const QStringList& selected);
    static QStringList GetAddedPorts(const QStringList& current, const QStringList& selected);

private:
    void buildPages();
    void Form_Load();
    void showPage(int page);
    void Step0();
    void Step1();
    void Step2();
    void readSelectedPorts();
    void Commit_Changes();
    bool Del_Ports();
    bool Add_Ports();

    DeviceEditing m_editing;
    WizardFrame m_frame;
    QCheckBox* m_chkShowPortSelectIntro = nullptr;
    QLabel* m_introText = nullptr;
    QTreeWidget* m_lvListView = nullptr;
    QListWidget* m_lstPortsAdd = nullptr;
    QListWidget* m_lstPortDelete = nullptr;
    // The list rows in the order of the port table, whatever order the list is sorted in.
    QVector<QTreeWidgetItem*> m_rows;
    int m_page = 0;
    QString m_device;
    QStringList m_currentPorts;
    QStringList m_selectedPorts;
    QStringList m_deletedPorts;
    QStringList m_addedPorts;
};
