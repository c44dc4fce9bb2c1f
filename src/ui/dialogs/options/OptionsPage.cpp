#include "ui/dialogs/options/OptionsPage.h"

#include "core/AppContext.h"
#include "core/AppInfo.h"
#include "core/ErrorTrap.h"
#include "core/RuntimeError.h"
#include "core/SettingReaders.h"
#include "ui/dialogs/NumberField.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

bool endsWithAny(const QString& name, const QStringList& endings) {
    for (const QString& ending : endings)
        if (name.endsWith(ending, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

OptionsPage::OptionsPage(AppContext& context, QWidget* parent)
    : QWidget(parent)
    , m_context(context) {}

void OptionsPage::load() {
    for (const auto& load : m_loads)
        load();
}

void OptionsPage::apply() {
    for (const auto& apply : m_applies)
        apply();
}

void OptionsPage::bind(std::function<void()> load, std::function<void()> apply) {
    m_loads.push_back(std::move(load));
    m_applies.push_back(std::move(apply));
}

QCheckBox* OptionsPage::boundBox(const Setting<bool>& setting, const QString& caption,
                                 const QString& name) {
    QCheckBox* box = checkBox(caption, name);
    bind(
        [this, box, &setting] {
            const SettingsCatalogue& store = m_context.catalogue();
            bool checked = false;
            try {
                checked = SettingReaders::flagNotZero(store.text(setting));
            } catch (const RuntimeError&) {
                // A value edited by hand into something else shows the default.
                checked = SettingReaders::flagNotZero(store.defaultText(setting));
            }
            box->setChecked(checked);
        },
        [this, box, &setting] { m_context.catalogue().set(setting, box->isChecked()); });
    return box;
}

template <typename T>
NumberField* OptionsPage::boundWholeNumber(const Setting<T>& setting, int minimum, int maximum,
                                           int step, const QString& name) {
    NumberField* field = numberField(minimum, maximum, step, name);
    bind(
        [this, field, &setting] {
            const SettingsCatalogue& store = m_context.catalogue();
            // A setting that reads a wrong text as its default shows what it reads.
            if (setting.badTextReadsAsDefault) {
                const int read = store.get(setting);
                field->load(QString::number(read), read);
            } else {
                field->load(store.text(setting), SettingReaders::int32(store.defaultText(setting)));
            }
        },
        [this, field, &setting] { m_context.catalogue().set(setting, field->value()); });
    return field;
}

NumberField* OptionsPage::boundNumber(const Setting<qint16>& setting, int minimum, int maximum,
                                      int step, const QString& name) {
    return boundWholeNumber(setting, minimum, maximum, step, name);
}

NumberField* OptionsPage::boundNumber(const Setting<qint32>& setting, int minimum, int maximum,
                                      int step, const QString& name) {
    return boundWholeNumber(setting, minimum, maximum, step, name);
}

QLineEdit* OptionsPage::boundPath(const Setting<QString>& setting, const QString& name) {
    // A path field: filled by its button, with the button face's colour.
    auto* field = new QLineEdit;
    field->setObjectName(name);
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    field->setPalette(palette);
    bind([this, field, &setting] { field->setText(m_context.catalogue().get(setting)); },
         [this, field, &setting] { m_context.catalogue().set(setting, field->text()); });
    return field;
}

QCheckBox* OptionsPage::checkBox(const QString& caption, const QString& name) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QPushButton* OptionsPage::button(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

NumberField* OptionsPage::numberField(int minimum, int maximum, int step, const QString& name) {
    auto* field = new NumberField(minimum, maximum, step);
    field->setObjectName(name);
    return field;
}

QLabel* OptionsPage::wrappedLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QGroupBox* OptionsPage::frame(const QString& title, QLayout* layout) {
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

QHBoxLayout* OptionsPage::fieldRow(NumberField* field, QLabel* label) {
    auto* row = new QHBoxLayout;
    row->addWidget(field);
    row->addWidget(label, 1);
    label->setBuddy(field);
    return row;
}

QHBoxLayout* OptionsPage::buttonRow(QWidget* first, QWidget* second) {
    auto* row = new QHBoxLayout;
    row->addWidget(first, 1);
    row->addWidget(second);
    return row;
}

void OptionsPage::setFrames(std::initializer_list<QWidget*> frames) {
    auto* layout = new QVBoxLayout(this);
    for (QWidget* f : frames)
        layout->addWidget(f);
    layout->addStretch(1);
}

void OptionsPage::chooseFile(const FileChoice& choice, QLineEdit* path, QCheckBox* feature) {
    trapErrors(m_context, choice.routine, [&] {
        const FileDialogRequest request{choice.title, m_context.paths().programFolder(),
                                        choice.suggested, choice.filter};
        UserDialogs& dialogs = m_context.dialogs();
        const QString chosen =
            choice.save ? dialogs.saveFileName(request) : dialogs.openFileName(request);
        if (chosen.isEmpty())
            return; // cancelled: nothing changes
        if (endsWithAny(chosen, choice.endings)) {
            path->setText(chosen);
            return;
        }
        dialogs.message(choice.refusal, MessageIcon::Information, AppInfo::Title);
        path->setText(m_context.catalogue().defaultText(*choice.setting));
        // Unchecking greys the feature's buttons and fields with it.
        feature->setChecked(false);
    });
}
