#pragma once

// Small construction helpers shared by the export dialog's pages.

#include <QString>
#include <QToolButton>

#include <string>

namespace exporter {

// The widget with its object name set, so tests and the pages find it by name.
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

template <typename T> T* Named(T* widget, const std::string& name) {
    widget->setObjectName(QString::fromStdString(name));
    return widget;
}

// A checkable tool button with a caption (bold, italic, alignment and the like).
inline QToolButton* ToggleButton(const char* name, const QString& text) {
    auto* button = Named(new QToolButton, name);
    button->setText(text);
    button->setCheckable(true);
    return button;
}

} // namespace exporter
