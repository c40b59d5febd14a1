#include "shell/qt/qt_save_file.h"

#include <QFileDialog>

#include "shell/qt/file_types.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {

std::string QtSaveFileDialog::AskSaveFileName(const std::string& title, const std::string& initialName,
                                              const std::string& filter,
                                              const std::string& defaultExtension) {
    QFileDialog dialog(owner_, Q(title));
    TellFileTypesByName(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Q(defaultExtension));
    // "Description|pattern|..." as Qt's "Description (pattern)" entries.
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.selectFile(Q(initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return S(dialog.selectedFiles().constFirst());
}

}  // namespace tolvaran
