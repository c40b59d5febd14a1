#include "shell/source_database/select_server.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/qt/named_widget.h"
#include "shell/qt/qt_text.h"

namespace tolvaran {

SelectServer::SelectServer(const std::string& path, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SelectServer"));
    setWindowTitle(QStringLiteral("Select Server"));
    setModal(true);
    auto* text = Named<QLabel>("lblProject",
                               QStringLiteral("Microsoft Access could not open the data project\n%1\n\n"
                                              "Retry opens it again. Cancel goes on without it: pick the "
                                              "server and database on the SQL Server tab.")
                                   .arg(Q(path)),
                               this);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    auto* retry = buttons->addButton(QStringLiteral("&Retry"), QDialogButtonBox::AcceptRole);
    retry->setObjectName(QStringLiteral("cmdRetry"));
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(460, 150);
}

bool SelectServer::Ask(const std::string& path, QWidget* parent) {
    SelectServer window(path, parent);
    return window.exec() == QDialog::Accepted;
}

}  // namespace tolvaran
