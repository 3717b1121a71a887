#include "browser/forms/FolderPath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace browser {

QStringList StartPathFolders(const QString& root, const QString& startPath) {
    QStringList folders;
    QDir current(root);
    if (!current.exists())
        return folders;
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    const QStringList components = startPath.split(separators, Qt::SkipEmptyParts);
    for (const QString& component : components) {
        QString match;
        const QStringList children = current.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString& child : children) {
            if (child.compare(component, Qt::CaseInsensitive) == 0) {
                match = child;
                if (child == component)
                    break; // an exact match wins over one that differs in case
            }
        }
        if (match.isEmpty())
            break;
        current.setPath(current.filePath(match));
        folders << QDir::cleanPath(current.path());
    }
    return folders;
}

QString FolderPathBelowRoot(const QString& root, const QString& folder) {
    const QString base = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString relative = QDir(base).relativeFilePath(path);
    if (relative == QStringLiteral(".") || relative == QStringLiteral("..") ||
        relative.startsWith(QStringLiteral("../")) || QDir::isAbsolutePath(relative))
        return QString();
    return relative.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

} // namespace browser
