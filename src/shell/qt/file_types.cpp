#include "shell/qt/file_types.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace tolvaran {

namespace {

class NameOnlyFileTypes : public QFileIconProvider {
  public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir()) return icon(Folder);
        return QIcon::fromTheme(MimeType(info).iconName(), icon(File));
    }

    QString type(const QFileInfo& info) const override {
        if (!info.isFile()) return QFileIconProvider::type(info);  // folders and links: no content read
        const QMimeType mime = MimeType(info);
        if (!mime.isDefault()) return mime.comment();
        const QString suffix = info.suffix().toUpper();
        return suffix.isEmpty() ? QStringLiteral("File") : suffix + QStringLiteral(" File");
    }

  private:
    // Called on the dialog's file-information thread as well: QMimeDatabase may be used from
    // any thread.
    QMimeType MimeType(const QFileInfo& info) const {
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }
};

}  // namespace

void TellFileTypesByName(QFileDialog& dialog) {
    // Never destroyed: a dialog's model may still ask it from its own thread while the program
    // ends.
    static NameOnlyFileTypes* const types = new NameOnlyFileTypes;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(types);
}

}  // namespace tolvaran
