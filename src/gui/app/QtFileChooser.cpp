#include "gui/app/QtFileChooser.h"

#include <QFileDialog>

namespace brindle {

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            break;
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern.trimmed() == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        // The label shows the patterns in parentheses already; Qt reads them from there.
        QString label = parts[i];
        const qsizetype open = label.indexOf('(');
        label = (open < 0 ? label : label.left(open)).trimmed();
        const QString list = '(' + patterns.join(' ') + ')';
        filters << (label.isEmpty() ? list : label + ' ' + list);
    }
    return filters;
}

std::string QtFileChooser::Choose(const FileChoice& choice, bool save) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(choice.filter));
    dialog.setDefaultSuffix(QString::fromStdString(choice.extension));
    // A wildcard default name ("*.kwv") is what the name filter already does; only a real name
    // is put into the name field.
    const QString name = QString::fromStdString(choice.defaultName);
    if (!name.isEmpty() && !name.contains('*') && !name.contains('?'))
        dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst().toStdString();
}

std::string QtFileChooser::ChooseFileToOpen(const FileChoice& choice) {
    return Choose(choice, false);
}

std::string QtFileChooser::ChooseFileToSave(const FileChoice& choice) {
    // QFileDialog asks before replacing an existing file unless told not to.
    return Choose(choice, true);
}

} // namespace brindle
