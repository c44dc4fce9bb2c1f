#include "ui/dialogs/frmAddPort.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "engine/ItemKey.h"
#include "engine/ResultRecording.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "ui/dialogs/DialogText.h"

#include <algorithm>
#include <optional>
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace {

const QString Ping = QStringLiteral("Ping");
constexpr int PortRole = Qt::UserRole;

struct PageLook {
    const char* step;
    const char* picture;
};
constexpr PageLook Pages[] = {
    {"Introduction Screen", "ports_intro"},
    {"Step 1", "ports_select"},
    {"Finished!", "ports_finished"},
};

// A list row that sorts by port number in the port column, so 443 comes after 80.
class PortRow final : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        if (column == 0)
            return data(0, PortRole).toInt() < other.data(0, PortRole).toInt();
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

// The number a port text reads as: "Ping" and any other text without digits read as 0.
int portNumber(const QString& port) {
    return port.trimmed().toInt();
}

bool isPing(const QString& port) {
    return port.compare(Ping, Qt::CaseInsensitive) == 0;
}

// A current (stored) port and a selected one name the same item.
bool sameItem(const QString& current, const QString& selected) {
    return current.compare(selected, Qt::CaseInsensitive) == 0 ||
           (isPing(current) && portNumber(selected) == 0);
}

int twipsToPixels(const QWidget* widget, int twips) {
    return qRound(twips * widget->logicalDpiX() / 1440.0);
}

} // namespace

frmAddPort::frmAddPort(const DeviceEditing& editing, const QString& device, QWidget* parent)
    : QDialog(parent)
    , m_editing(editing)
    , m_frame(*this)
    , m_device(device) {
    setObjectName(QStringLiteral("frmAddPort"));
    setWindowTitle(AppInfo::Title + QStringLiteral(" - Select TCP/IP Ports To Monitor"));
    setModal(true);
    buildPages();
    m_frame.connectButtons([this](int index) { cmdArray_Click(index); });
    connect(m_chkShowPortSelectIntro, &QCheckBox::clicked, this, [this](bool checked) {
        ignoreErrors([&] { m_editing.context.catalogue().set(Key::ShowPortScanIntro, checked); });
    });
    Form_Load();
}

void frmAddPort::buildPages() {
    QVBoxLayout* intro = m_frame.addPage(QStringLiteral("fraStep(0)"));
    intro->addWidget(
        WizardFrame::heading(QStringLiteral("IP Orvex Monitor Port Selection Wizard"), this));
    m_introText = WizardFrame::wrappedLabel(QString(), this);
    intro->addWidget(m_introText);
    intro->addStretch(1);
    m_chkShowPortSelectIntro =
        new QCheckBox(QStringLiteral("Do not show introduction in the future."), this);
    m_chkShowPortSelectIntro->setObjectName(QStringLiteral("chkShowPortSelectIntro"));
    intro->addWidget(m_chkShowPortSelectIntro);

    QVBoxLayout* select = m_frame.addPage(QStringLiteral("fraStep(1)"));
    m_lvListView = new QTreeWidget(this);
    m_lvListView->setObjectName(QStringLiteral("lvListView"));
    auto* selectLabel = new QLabel(QStringLiteral("Select the ports you would like to monitor:"));
    selectLabel->setBuddy(m_lvListView);
    select->addWidget(selectLabel);
    m_lvListView->setRootIsDecorated(false);
    m_lvListView->setUniformRowHeights(true);
    m_lvListView->setAllColumnsShowFocus(true);
    m_lvListView->setAlternatingRowColors(true);
    m_lvListView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvListView->setTextElideMode(Qt::ElideRight);
    select->addWidget(m_lvListView, 1);

    QVBoxLayout* confirm = m_frame.addPage(QStringLiteral("fraStep(2)"));
    m_lstPortsAdd = new QListWidget(this);
    m_lstPortsAdd->setObjectName(QStringLiteral("lstPortsAdd"));
    m_lstPortDelete = new QListWidget(this);
    m_lstPortDelete->setObjectName(QStringLiteral("lstPortDelete"));
    for (QListWidget* list : {m_lstPortsAdd, m_lstPortDelete}) {
        list->setTextElideMode(Qt::ElideRight);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
    confirm->addWidget(new QLabel(QStringLiteral("Ports you have selected to monitor:"), this));
    confirm->addWidget(m_lstPortsAdd, 2);
    confirm->addWidget(
        new QLabel(QStringLiteral("Ports you have selected to no longer monitor:"), this));
    confirm->addWidget(m_lstPortDelete, 1);

    m_frame.chainTabOrder({m_chkShowPortSelectIntro, m_lvListView, m_lstPortsAdd, m_lstPortDelete});
    setMinimumSize(560, 340);
}

QPushButton* frmAddPort::cmdArray(int index) const {
    return m_frame.button(WizardFrame::Button(index));
}

QTreeWidgetItem* frmAddPort::row(const QString& text) const {
    for (QTreeWidgetItem* item : m_rows) {
        if (item->text(0) == text)
            return item;
    }
    return nullptr;
}

void frmAddPort::Form_Load() {
    trapErrors(m_editing.context, "frmAddPort_Form_Load", [&] {
        const QString speech =
            QStringLiteral("This wizard will assist you in selecting the TCP/IP ports to "
                           "moniotor on ") +
            m_device + QStringLiteral(".  ") +
            QStringLiteral(
                "Press the 'Next' button and make your selections from the list provided.");
        m_editing.context.state().SpeechText = speech;
        // Shown even when the wizard starts past it, for Back to find it filled.
        m_introText->setText(WizardFrame::breakable(speech));
        const bool skipIntro = m_editing.context.catalogue().showPortScanIntro();
        m_chkShowPortSelectIntro->setChecked(skipIntro);
        m_page = skipIntro ? 1 : 0;
        // Back leads from the first page shown to the introduction, also when it was skipped.
        m_frame.button(WizardFrame::Back)->setEnabled(m_page == 1);
        m_frame.showPage(m_page, QLatin1String(Pages[m_page].step),
                         QLatin1String(Pages[m_page].picture));
        Step0();
        Step1();
        m_frame.button(WizardFrame::Next)->setFocus();
    });
}

void frmAddPort::Step0() {
    trapErrors(m_editing.context, "Step0", [&] {
        Recordset ports = m_editing.db.openRecordset(Catalogue::portsOfDevice(m_device));
        for (; !ports.atEnd(); ports.moveNext())
            m_currentPorts << ports.text(QStringLiteral("Port"));
        ports.close();
    });
}

void frmAddPort::Step1() {
    trapErrors(m_editing.context, "Step1", [&] {
        m_lvListView->setColumnCount(2);
        m_lvListView->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("Description")});
        m_lvListView->header()->resizeSection(0, twipsToPixels(this, 800));
        m_lvListView->header()->resizeSection(1, twipsToPixels(this, 3500));
        Recordset known = m_editing.db.openRecordset(Catalogue::knownPorts());
        for (; !known.atEnd(); known.moveNext()) {
            const int number = int(known.number(QStringLiteral("Port_Number")));
            const QString text = number == 0 ? Ping : QString::number(number);
            auto* item = new PortRow(QStringList{text, known.text(QStringLiteral("Description"))});
            item->setData(0, PortRole, number);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                           Qt::ItemNeverHasChildren);
            const bool monitored =
                std::any_of(m_currentPorts.cbegin(), m_currentPorts.cend(),
                            [&](const QString& port) { return sameItem(port, text); });
            item->setCheckState(0, monitored ? Qt::Checked : Qt::Unchecked);
            item->setToolTip(1, DialogText::plainTip(item->text(1)));
            m_rows << item;
        }
        known.close();
        m_lvListView->addTopLevelItems(QList<QTreeWidgetItem*>(m_rows.cbegin(), m_rows.cend()));
        // The port column holds its check box, "Ping" and five digits at any font size.
        m_lvListView->resizeColumnToContents(0);
        m_lvListView->header()->resizeSection(
            0, qMax(m_lvListView->header()->sectionSize(0), twipsToPixels(this, 800)));
        m_lvListView->setSortingEnabled(true);
        m_lvListView->sortByColumn(0, Qt::AscendingOrder);
        if (!m_rows.isEmpty())
            m_lvListView->setCurrentItem(m_rows.first());
    });
}

void frmAddPort::cmdArray_Click(int index) {
    trapErrors(m_editing.context, "cmdArray_Click", [&] {
        switch (index) {
        case WizardFrame::Cancel:
            m_page = 0;
            QDialog::reject();
            return;
        case WizardFrame::Back:
            showPage(m_page - 1);
            return;
        case WizardFrame::Next:
            showPage(m_page + 1);
            return;
        }
    });
}

void frmAddPort::reject() {
    // Esc and the window's close button cancel like the Cancel button.
    cmdArray_Click(WizardFrame::Cancel);
}

void frmAddPort::showPage(int page) {
    QPushButton* back = m_frame.button(WizardFrame::Back);
    QPushButton* next = m_frame.button(WizardFrame::Next);
    m_page = qBound(0, page, 3);
    switch (m_page) {
    case 0:
    case 1:
        next->setText(QStringLiteral("Next >"));
        back->setEnabled(m_page == 1);
        break;
    case 2:
        Step2();
        back->setEnabled(true);
        next->setText(QStringLiteral("Finished >"));
        break;
    case 3:
        Commit_Changes();
        accept();
        return;
    }
    m_frame.showPage(m_page, QLatin1String(Pages[m_page].step),
                     QLatin1String(Pages[m_page].picture));
    if (m_page == 1)
        m_lvListView->setFocus();
    else
        next->setFocus();
}

void frmAddPort::readSelectedPorts() {
    m_selectedPorts.clear();
    for (const QTreeWidgetItem* item : std::as_const(m_rows)) {
        if (item->checkState(0) == Qt::Checked)
            m_selectedPorts << QString::number(portNumber(item->text(0)));
    }
}

void frmAddPort::Step2() {
    trapErrors(m_editing.context, "Step2", [&] {
        m_lstPortsAdd->clear();
        m_lstPortDelete->clear();
        for (const QTreeWidgetItem* item : std::as_const(m_rows)) {
            if (item->checkState(0) == Qt::Checked)
                m_lstPortsAdd->addItem(item->text(0) + QLatin1Char('\t') + item->text(1));
        }
        readSelectedPorts();
        m_deletedPorts = GetDeletedPorts(m_currentPorts, m_selectedPorts);
        m_lstPortDelete->addItems(m_deletedPorts);
    });
}

QStringList frmAddPort::GetDeletedPorts(const QStringList& current, const QStringList& selected) {
    QStringList result;
    for (const QString& port : current) {
        const bool kept = std::any_of(selected.cbegin(), selected.cend(),
                                      [&](const QString& s) { return sameItem(port, s); });
        if (!kept)
            result << port;
    }
    return result;
}

QStringList frmAddPort::GetAddedPorts(const QStringList& current, const QStringList& selected) {
    QStringList result;
    for (const QString& port : selected) {
        const bool monitored = std::any_of(current.cbegin(), current.cend(),
                                           [&](const QString& c) { return sameItem(c, port); });
        if (!monitored)
            result << port;
    }
    return result;
}

void frmAddPort::Commit_Changes() {
    trapErrors(m_editing.context, "Commit_Changes", [&] {
        readSelectedPorts();
        m_deletedPorts = GetDeletedPorts(m_currentPorts, m_selectedPorts);
        m_addedPorts = GetAddedPorts(m_currentPorts, m_selectedPorts);
        if (m_deletedPorts.isEmpty() && m_addedPorts.isEmpty())
            return;
        // The whole change lands at once or not at all: a hundred ports are one write, not a
        // hundred, and a step that fails rolls back the steps before it. Inside a transaction
        // that is already open the rows simply join it.
        std::optional<Database::Transaction> transaction;
        if (!m_editing.db.inTransaction())
            transaction.emplace(m_editing.db);
        const bool done =
            (m_deletedPorts.isEmpty() || Del_Ports()) && (m_addedPorts.isEmpty() || Add_Ports());
        if (!done)
            return;
        if (transaction)
            transaction->commit();
        m_editing.window.Update_Ports();
    });
}

// Each returns false once a step has failed; the failure has been reported.
bool frmAddPort::Del_Ports() {
    bool stored = true;
    const bool ran = trapErrors(m_editing.context, "Del_Ports", [&] {
        for (const QString& port : std::as_const(m_deletedPorts)) {
            m_editing.window.removeNode(ItemKey::join(m_device, port));
            QString status;
            stored = m_editing.recording.Port_Update(QStringLiteral("Delete"), m_device, port,
                                                     QString(), QString(), status, QString());
            if (!stored)
                return;
        }
    });
    return ran && stored;
}

bool frmAddPort::Add_Ports() {
    bool stored = true;
    const bool ran = trapErrors(m_editing.context, "Add_Ports", [&] {
        for (const QString& selected : std::as_const(m_addedPorts)) {
            const int number = portNumber(selected);
            const QString port = number == 0 ? Ping : QString::number(number);
            m_editing.window.addItemNode(m_device, port);
            QString description;
            Recordset known = m_editing.db.openRecordset(Catalogue::knownPort(number));
            if (!known.atEnd())
                description = known.text(QStringLiteral("Description"));
            known.close();
            QString status;
            stored = m_editing.recording.Port_Update(QStringLiteral("Add"), m_device, port,
                                                     QStringLiteral("Port"), description, status,
                                                     QString());
            if (!stored)
                return;
        }
    });
    return ran && stored;
}
