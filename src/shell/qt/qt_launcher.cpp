#include "shell/qt/qt_launcher.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/qt/qt_text.h"

namespace tolvaran {

std::string QtLauncher::ProgramFor(const std::string& file) {
    const QFileInfo info(Q(file));
    if (info.fileName().compare(QStringLiteral("crw32.exe"), Qt::CaseInsensitive) == 0)
        return S(info.dir().filePath(QStringLiteral("tolvaran-designer")));
    return file;
}

bool QtLauncher::Open(const std::string& file, const std::string& parameters,
                      const std::string& workingFolder) {
    const QFileInfo info(Q(ProgramFor(file)));
    if (!info.exists()) return false;
    if (info.isFile() && info.isExecutable()) {
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(Q(parameters)),
                                       Q(workingFolder));
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

bool QtLauncher::Start(const std::string& program, const std::vector<std::string>& arguments) {
    const QFileInfo info(Q(ProgramFor(program)));
    if (!info.isFile() || !info.isExecutable()) return false;
    QStringList list;
    for (const std::string& a : arguments) list << Q(a);
    return QProcess::startDetached(info.absoluteFilePath(), list);
}

std::string HelpTopicText(const std::string& helpFile, long contextId) {
    QFile f(Q(helpFile));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString all = QString::fromUtf8(f.readAll());
    static const QRegularExpression head(QStringLiteral("^\\[(\\d+)\\][^\\n]*$"),
                                         QRegularExpression::MultilineOption);
    QString first, wanted;
    auto it = head.globalMatch(all);
    bool any = false;
    while (it.hasNext()) {
        const auto m = it.next();
        any = true;
        const qsizetype start = m.capturedStart();
        const auto next = head.match(all, m.capturedEnd());
        const QString body = all.mid(start, (next.hasMatch() ? next.capturedStart() : all.size()) - start);
        const long id = m.captured(1).toLong();
        if (id == contextId) wanted = body;
        if (id == 1) first = body;
    }
    if (!any) return S(all);
    return S((wanted.isEmpty() ? first : wanted).trimmed());
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), text_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tolvaran Help"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    resize(520, 420);
}

void HelpWindow::ShowTopic(const std::string& helpFile, long contextId) {
    const std::string text = HelpTopicText(helpFile, contextId);
    text_->setPlainText(text.empty() ? QStringLiteral("The help file %1 cannot be read.").arg(Q(helpFile))
                                     : Q(text));
}

QString HelpWindow::Text() const {
    return text_->toPlainText();
}

QtHelpService::~QtHelpService() {
    delete window_;
}

void QtHelpService::ShowTopic(const std::string& helpFile, long contextId) {
    if (!window_) window_ = new HelpWindow();
    window_->ShowTopic(helpFile, contextId);
    window_->show();
    window_->raise();
}

}  // namespace tolvaran
