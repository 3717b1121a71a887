#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <utility>

namespace browser {

// Creates an object and gives it its name, the name by which handlers and tests find it.
template <typename T, typename... Args> T* Named(const char* name, Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

} // namespace browser

namespace browser {

// The free integer every control carries for the program's own use; kept as the property "Tag".
inline int Tag(const QObject* object) {
    return object->property("Tag").toInt();
}
inline void SetTag(QObject* object, int value) {
    object->setProperty("Tag", value);
}

} // namespace browser
