#include "shell/main_window/instance_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include "shell/qt/qt_text.h"

namespace tolvaran {

std::string InstanceLock::LockPath(const std::string& programFolder) {
    QFileInfo info(Q(programFolder));
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return S(QDir::temp().filePath(QStringLiteral("tolvaran-%1.lock").arg(QString::fromLatin1(hash))));
}

InstanceLock::InstanceLock(const std::string& programFolder)
    : lock_(new QLockFile(Q(LockPath(programFolder)))) {
    // Never stale while the holder lives: a lock of a process that died is removed by
    // QLockFile because the process id is gone.
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryLock() {
    return lock_->isLocked() || lock_->tryLock(0);
}

bool InstanceLock::IsLocked() const {
    return lock_->isLocked();
}

}  // namespace tolvaran
