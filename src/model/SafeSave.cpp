#include "SafeSave.h"

#include <QSaveFile>

namespace SafeSave {

QString write(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (disk full, file-size limit) is seen here:
    // through the buffer, QSaveFile commits a truncated file without complaint.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason.isEmpty() || n == 0 ? QStringLiteral("no space left on the device") : reason;
        }
        done += n;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace SafeSave
