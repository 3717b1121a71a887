#include "export/core/ExporterCustomSource.h"

#include "platform/rtl/SysUtils.h"

namespace exporter {

std::string ExportVariantToText(const TExportVariant& value) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(std::int64_t v) const { return rtl::IntToStr(v); }
        std::string operator()(double v) const { return rtl::FloatToStr(v); }
        std::string operator()(bool v) const { return v ? "True" : "False"; }
        std::string operator()(const std::string& v) const { return v; }
    };
    return std::visit(Visitor{}, value);
}

TqeCustomColumn::TqeCustomColumn(TqeCustomColumns& owner, std::string name, int index)
    : Caption(name), owner_(owner), columnName_(std::move(name)), index_(index) {}

void TqeCustomColumn::SetColumnName(const std::string& name) {
    if (name.empty() || name == columnName_)
        return;
    int other = owner_.IndexOfName(name);
    if (other >= 0 && other != index_)
        return;
    columnName_ = name;
}

TqeCustomColumn& TqeCustomColumns::Add() {
    int number = 0;
    while (IndexOfName("Column" + std::to_string(number)) >= 0)
        ++number;
    items_.push_back(std::unique_ptr<TqeCustomColumn>(
        new TqeCustomColumn(*this, "Column" + std::to_string(number), Count())));
    return *items_.back();
}

int TqeCustomColumns::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(items_[i]->ColumnName(), name))
            return i;
    return -1;
}

void TqeCustomSource::First() {
    recNo_ = 1;
    eof_ = false;
}

void TqeCustomSource::Next() {
    if (eof_)
        return;
    bool stop = false;
    if (OnGetNextRecord)
        OnGetNextRecord(*this, recNo_, stop);
    if (stop)
        eof_ = true;
    else
        ++recNo_;
}

void TqeCustomSource::GotoRecNo(int recNo) {
    recNo_ = recNo;
    eof_ = false;
}

std::string TqeCustomSource::ColumnText(int column) {
    TExportVariant value;
    if (!OnGetColumnValue || column < 0 || column >= Columns.Count())
        return {};
    OnGetColumnValue(*this, recNo_, Columns.Items(column), value);
    return ExportVariantToText(value);
}

} // namespace exporter
