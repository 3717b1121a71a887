#pragma once

// Everything of the export dialog's form that would block on a modal window: file choice, the input box,
// the colour picker, questions and messages. The form calls these; tests install their own answers.

#include <QColor>
#include <QString>

class QWidget;

namespace exporter {

class TfmExporterXLSColorEditor;

class TExportDialogServices {
public:
    virtual ~TExportDialogServices() = default;

    // A file to write (or to read); false when cancelled. fileName carries the proposal in and the choice
    // out. filter is in Qt's form ("Text (*.txt);;All files (*)").
    virtual bool SaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                              QString& fileName) = 0;
    virtual bool OpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                              QString& fileName) = 0;
    // An input box; false when cancelled. value carries the preset text in and the answer out.
    virtual bool InputQuery(QWidget* parent, const QString& title, const QString& prompt, QString& value) = 0;
    // The colour picker; false when cancelled.
    virtual bool PickColor(QWidget* parent, QColor& color) = 0;
    // A Yes/No question with No as the default; true for Yes.
    virtual bool Question(QWidget* parent, const QString& title, const QString& text) = 0;
    // An error message with an OK button.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // An information message with an OK button (what an export that went through wants the user to know).
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Shows the workbook palette picker modally and returns its modal result; tests work the picker
    // instead.
    virtual int RunXlsColorEditor(TfmExporterXLSColorEditor& editor);
};

// The services on Qt's own dialogs.
TExportDialogServices& QtExportDialogServices();

} // namespace exporter
