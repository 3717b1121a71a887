#include "export/dialog/ExporterDialog.h"

#include "export/dialog/ExporterDialogForm.h"
#include "platform/rtl/SysUtils.h"

namespace exporter {

TExporterDialog::TExporterDialog() = default;
TExporterDialog::~TExporterDialog() = default;

TExportSources TExporterDialog::Sources() const {
    return SourcesOf(*this);
}

void TExporterDialog::LoadColumnsOwnerProperties(TExportOwnerProperties& p) const {
    p.ExportedFields = &ExportedFields;
    p.Sources = Sources();
    p.OnlyVisibleFields = OnlyVisibleFields;
    p.Formats = &Formats;
    p.AutoCalcStrType = AutoCalcStrType;
    p.CaptionRow = CaptionRow;
    p.UserFormats = &UserFormats;
    p.ColumnsWidth = &ColumnsWidth;
    p.Captions = &Captions;
    p.ColumnsAlign = &ColumnsAlign;
}

void TExporterDialog::Notification(const void* removed) {
    ForgetRemovedSource(*this, removed);
}

void TExporterDialog::Execute() {
    bool missing = false;
    switch (ExportSource) {
    case TExportSource::esDataSet:
        missing = DataSet == nullptr;
        break;
    case TExportSource::esDBGrid:
        missing = DBGrid == nullptr;
        break;
    case TExportSource::esListView:
        missing = ListView == nullptr;
        break;
    case TExportSource::esStringGrid:
        missing = StringGrid == nullptr;
        break;
    case TExportSource::esCustom:
        break;
    }
    if (missing)
        throw EExportError(rtl::Format(ExportLoadStr(SSourceNotAssigned), {ExportSourceName(ExportSource)}));
    if (AllowedExports.empty())
        throw EExportError(ExportLoadStr(SAllowedEmpty));

    Columns.Clear();
    Columns.Fill(true);

    if (!FormFactory)
        throw EExportError("The export dialog's form is not available");
    std::unique_ptr<TExporterDialogF> form = FormFactory(*this);
    form->ShowModal();
}

} // namespace exporter
