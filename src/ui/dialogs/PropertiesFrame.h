#pragma once

#include <array>
#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The frame both properties dialogs share: one tab holding three labelled boxes (txtArray)
// and the OK and Cancel buttons (cmdArray) below it.
class PropertiesFrame final {
public:
    PropertiesFrame(QDialog& dialog, const QString& tab, const std::array<QString, 3>& labels);
    PropertiesFrame(const PropertiesFrame&) = delete;
    PropertiesFrame& operator=(const PropertiesFrame&) = delete;

    QTabWidget* TabStrip1;
    std::array<QLineEdit*, 3> txtArray{};
    std::array<QPushButton*, 2> cmdArray{};
};
