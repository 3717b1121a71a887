#pragma once

// The main window with a filled DNS list and an export form double in its export dialog component.

#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogForm.h"
#include "export/xls/ExporterXLS.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace workbook_test {

using browser::RecordListKind;
using browser::RecordRow;

inline RecordRow Row(RecordListKind list, std::string caption, std::vector<std::string> subItems) {
    RecordRow row;
    row.list = list;
    row.caption = std::move(caption);
    row.subItems = std::move(subItems);
    return row;
}

// DNS rows: name, type, zone, info, (RP: "!!!"), object name.
inline std::vector<RecordRow> DnsRows() {
    const auto dns = RecordListKind::Dns;
    return {
        Row(dns, "10.0.0.10",
            {"mail", "A", "example.com", "Mail \"main\" server", "mail.example_com.DNS.ACME"}),
        Row(dns, "", {"_sip._tcp", "SRV", "example.com", "Prio: 8, Weight:34", "_sip.example_com.DNS.ACME"}),
        Row(dns, "10.0.0.10",
            {"mail", "RP", "example.com", "Res. Pers. MB: hostmaster", "!!!", "mail.example_com.DNS.ACME"}),
        Row(dns, "10.9.0.1", {"zürich", "A", "beta.org", "", "zurich.beta_org.DNS.ACME"}),
    };
}

inline std::vector<RecordRow> DhcpRows() {
    const auto dhcp = RecordListKind::Dhcp;
    return {
        Row(dhcp, "10.1.0.5", {"pc5", "Dynamic", "00:11:22:33:44:55", "", "", "", "10_1_0_5.net.DHCP.ACME"})};
}

// What a run of the form double does and what it saw.
struct FormScript {
    bool start = false; // press the start button
    exporter::TAllowedExport type = exporter::TAllowedExport::aeXLS;
    std::string fileName;
    // Seen when the form was shown.
    int shown = 0;
    std::vector<std::string> columns; // the component's column names
    std::string sheetTitle;           // the workbook page's sheet title
    int listRows = -1;                // the rows of the list the component is bound to
    int progressWindows = 0;          // progress windows the run asked for
};

// A form that takes over the component's settings as the real one does, and starts the export of the
// scripted type into the scripted file when told to. It shows no progress window and opens nothing.
class FormDouble : public exporter::TExporterDialogF {
public:
    FormDouble(exporter::TExporterDialog& owner, FormScript& script)
        : TExporterDialogF(owner), script_(script) {
        for (int i = 0; i < owner.Columns.Count(); ++i) {
            state_.AvailableFields.push_back({owner.Columns[i].Name, i});
            state_.Captions.push_back({owner.Columns[i].Name, owner.Columns[i].Caption});
        }
        state_.XLS.Assign(owner.XLSOptions);
        state_.CSV.Assign(owner.CSVOptions);
        state_.RTF.Assign(owner.RTFOptions);
        state_.ShowFile = false;
    }

    int ShowModal() override {
        ++script_.shown;
        for (int i = 0; i < Dialog().Columns.Count(); ++i)
            script_.columns.push_back(Dialog().Columns[i].Name);
        script_.sheetTitle = state_.XLS.SheetTitle();
        script_.listRows = Dialog().ListView ? Dialog().ListView->ItemCount() : -1;
        if (script_.start) {
            state_.ExportType = script_.type;
            state_.FileName = script_.fileName;
            bStartClick();
        }
        return 2;
    }
    exporter::TExportFormState& FormState() override { return state_; }

protected:
    std::unique_ptr<exporter::TExportProgressView> CreateProgressWindow(exporter::TExporter&) override {
        ++script_.progressWindows;
        return nullptr;
    }
    void ProcessMessages() override {}
    void WaitForMessages() override {}

private:
    FormScript& script_;
    exporter::TExportFormState state_;
};

class WorkbookWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<browser::TForm1>(services, forms);
        window->Timer1->stop();
        window->LVModel->appendRows(DnsRows());
        window->LV2Model->appendRows(DhcpRows());
        window->ExpDiag->FormFactory = [this](exporter::TExporterDialog& owner) {
            return std::make_unique<FormDouble>(owner, script);
        };
    }

    std::string File(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> WrittenFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    browser::ScriptedServices services;
    browser::Forms forms;
    std::unique_ptr<browser::TForm1> window;
    FormScript script;
    testutil::TempDir dir;
};

} // namespace workbook_test
