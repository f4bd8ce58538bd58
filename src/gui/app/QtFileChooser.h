// The file dialogs of the program.
#pragma once

#include <QStringList>
#include <QWidget>

#include "core/platform/FileChooser.h"

namespace brindle {

// The Qt name filters of a "label|patterns|...||" filter: "(*.kwv)|*.kwv|(*.*)|*.*||" gives
// "(*.kwv)" and "(*)" (all files, with or without an extension).
QStringList QtNameFilters(const std::string& filter);

class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
    std::string ChooseFileToOpen(const FileChoice& choice) override;
    std::string ChooseFileToSave(const FileChoice& choice) override;

private:
    std::string Choose(const FileChoice& choice, bool save);
    QWidget* parent_;
};

} // namespace brindle
