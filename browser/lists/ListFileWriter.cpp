#include "browser/lists/ListFileWriter.h"

#include <QSaveFile>

namespace browser {

void WriteWholeFile(const std::string& path, const std::string& content) {
    const QString name = QString::fromStdString(path);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        throw ListFileError("Cannot create file " + path + ". " + file.errorString().toStdString());
    const qint64 size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) != size || !file.commit())
        throw ListFileError("Cannot write file " + path + ". " + file.errorString().toStdString());
}

} // namespace browser
