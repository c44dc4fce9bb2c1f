#pragma once

#include "core/SettingsTable.h"

#include <functional>
#include <initializer_list>
#include <QStringList>
#include <QWidget>
#include <vector>

class AppContext;
class NumberField;
class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

// A file a path field's button chooses: the chooser's texts, the endings it takes and the
// refusal of any other. A refused choice puts the path back to the setting's default.
struct FileChoice {
    const char* routine;
    bool save;
    QString title;
    QString suggested;
    QString filter;
    QStringList endings;
    QString refusal;
    const Setting<QString>* setting;
};

// One tab of the options dialog. A control made bound to a row of the settings table shows the
// stored value on load() and stores what it shows on apply(); a page adds what its controls do
// beyond that.
class OptionsPage : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsPage)

public:
    explicit OptionsPage(AppContext& context, QWidget* parent = nullptr);

    virtual void load();
    virtual void apply();

protected:
    // A box shows a stored number other than 0 as ticked, and a text that is no number as the
    // default; it stores "1" or "0".
    QCheckBox* boundBox(const Setting<bool>& setting, const QString& caption, const QString& name);
    NumberField* boundNumber(const Setting<qint16>& setting, int minimum, int maximum, int step,
                             const QString& name);
    NumberField* boundNumber(const Setting<qint32>& setting, int minimum, int maximum, int step,
                             const QString& name);
    QLineEdit* boundPath(const Setting<QString>& setting, const QString& name);

    static QCheckBox* checkBox(const QString& caption, const QString& name);
    static QPushButton* button(const QString& caption, const QString& name);
    static NumberField* numberField(int minimum, int maximum, int step, const QString& name);
    static QLabel* wrappedLabel(const QString& text);
    static QGroupBox* frame(const QString& title, QLayout* layout);
    // A number field with its label beside it.
    static QHBoxLayout* fieldRow(NumberField* field, QLabel* label);
    static QHBoxLayout* buttonRow(QWidget* first, QWidget* second);
    // The frames top-down, with the room left over below them.
    void setFrames(std::initializer_list<QWidget*> frames);

    // Asks for a file and puts a name with a wanted ending into the path field; another name is
    // refused, the path goes back to its default and the feature's box is unticked.
    void chooseFile(const FileChoice& choice, QLineEdit* path, QCheckBox* feature);

    AppContext& m_context;

private:
    template <typename T>
    NumberField* boundWholeNumber(const Setting<T>& setting, int minimum, int maximum, int step,
                                  const QString& name);
    void bind(std::function<void()> load, std::function<void()> apply);

    std::vector<std::function<void()>> m_loads;
    std::vector<std::function<void()>> m_applies;
};
