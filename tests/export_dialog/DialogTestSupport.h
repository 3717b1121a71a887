#pragma once

// A form double for the export dialog: it holds its state, runs the start button from ShowModal, and
// records the progress codes, the component's events and the questions asked, in one log. Its clock of
// the row messages stands still unless a test moves it (rows then reach the window only at phase changes,
// the abort question and the end).

#include "export/core/ExporterMemorySources.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogForm.h"
#include "tests/support/TempFolder.h"

#include <functional>
#include <string>
#include <vector>

namespace exporter::test {

// A fresh folder for a test's files, removed with them when the test ends.
class TempDir {
public:
    std::string file(const std::string& name) const { return (folder_.Path() / name).string(); }

private:
    test_support::TempFolder folder_{"export_dialog"};
};

using test_support::ReadFile;
using test_support::WriteFile;

class RecordingShell : public TExportShell {
public:
    void Open(const std::string& fileName) override { opened.push_back(fileName); }
    void Print(const std::string& fileName) override { printed.push_back(fileName); }
    std::vector<std::string> opened, printed;
};

class TestForm;

// The progress window double: posts go to the form's log; it can abort the exporter on a given post.
class ProgressDouble : public TExportProgressView {
public:
    ProgressDouble(TestForm& form, TExporter& exporter) : form_(form), exporter_(exporter) {}
    ~ProgressDouble() override;
    void Show() override;
    void Post(int code, int rows) override;
    bool ClosedByUser() const override;

private:
    TestForm& form_;
    TExporter& exporter_;
    int posts_[10] = {};
};

class TestForm : public TExporterDialogF {
public:
    explicit TestForm(TExporterDialog& owner) : TExporterDialogF(owner) {
        Shell = &shell;
        // The form takes over the component's columns as its lists do.
        for (int i = 0; i < owner.Columns.Count(); ++i) {
            state.AvailableFields.push_back({owner.Columns[i].Name, i});
            state.Captions.push_back({owner.Columns[i].Name, owner.Columns[i].Caption});
        }
        state.FileName = owner.FileName;
        state.ShowFile = owner.ShowFile;
    }

    int ShowModal() override {
        ++shown;
        if (configure)
            configure(*this);
        if (startOnShow)
            bStartClick();
        if (inspect)
            inspect(*this);
        return 2;
    }
    TExportFormState& FormState() override { return state; }

    std::function<void(TestForm&)> configure; // before the start
    std::function<void(TestForm&)> inspect;   // after the run, before the form goes
    TExportFormState state;
    RecordingShell shell;
    std::vector<std::string> log;
    std::vector<std::pair<int, int>> posts; // every post: code and rows
    double clock = 0;                       // seconds of ProgressClock()
    mutable int clockReads = 0;             // calls of ProgressClock()
    int shown = 0;
    bool startOnShow = true;
    int abortOnExportedPost = 0; // abort when the n-th code 4 is posted (0: never)
    int abortOnCode = 0;         // ... or when the abortOnCodeCount-th post of this code is made
    int abortOnCodeCount = 1;
    int answer = IDNO;        // the answer to the abort question
    int waitsBeforeClose = 2; // waits until the user closes the progress window
    int waits = 0;
    bool progressShown = false;
    std::vector<unsigned> questionFlags;
    std::function<void()> onProgressFreed;
    // The engine's own progress window instead of the double: messages really run, and onWait plays the
    // user while the run waits for the window.
    bool realProgressWindow = false;
    std::function<void()> onWait;

protected:
    std::unique_ptr<TExportProgressView> CreateProgressWindow(TExporter& exporter) override {
        if (realProgressWindow)
            return TExporterDialogF::CreateProgressWindow(exporter);
        return std::make_unique<ProgressDouble>(*this, exporter);
    }
    void ProcessMessages() override {
        if (realProgressWindow)
            TExporterDialogF::ProcessMessages();
    }
    void WaitForMessages() override {
        ++waits;
        if (realProgressWindow) {
            TExporterDialogF::ProcessMessages();
            if (onWait)
                onWait();
        }
    }
    double ProgressClock() const override {
        ++clockReads;
        return clock;
    }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        log.push_back("ask:" + caption + "|" + text);
        questionFlags.push_back(flags);
        return answer;
    }
    void ShowNotice(const std::string& text) override { log.push_back("notice:" + text); }

    friend class ProgressDouble;
};

inline ProgressDouble::~ProgressDouble() {
    if (form_.onProgressFreed)
        form_.onProgressFreed();
}

inline void ProgressDouble::Show() {
    form_.progressShown = true;
}

inline void ProgressDouble::Post(int code, int rows) {
    form_.log.push_back("post:" + std::to_string(code));
    form_.posts.emplace_back(code, rows);
    const int count = code >= 0 && code < 10 ? ++posts_[code] : 0;
    if ((code == 4 && count == form_.abortOnExportedPost) ||
        (code == form_.abortOnCode && count == form_.abortOnCodeCount))
        exporter_.Abort();
}

inline bool ProgressDouble::ClosedByUser() const {
    return form_.waits >= form_.waitsBeforeClose;
}

// Fields Name (string), Count (integer), Notes (memo, a BLOB) and rows ("row1", 1, "n1") ...
inline void FillDataSet(TMemoryDataSet& ds, int rows) {
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Notes", TFieldType::ftMemo});
    for (int i = 1; i <= rows; ++i)
        ds.AddRow({"row" + std::to_string(i), std::to_string(i), "n" + std::to_string(i)});
}

// A dialog component over a data set of FillDataSet's rows, its columns filled as Execute fills them.
struct DialogOnDataSet {
    explicit DialogOnDataSet(int rows) {
        FillDataSet(ds, rows);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }
    TMemoryDataSet ds;
    TExporterDialog dialog;
};

} // namespace exporter::test
