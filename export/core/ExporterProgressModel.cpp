#include "export/core/ExporterProgressModel.h"

#include "export/core/ExporterLocale.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace exporter {

namespace {

enum : int {
    SPreparing = 34495,
    SSkipping = 34496,
    SSkipped = 34497,
    SExporting = 34498,
    SExported = 34499,
    SFetching = 34500,
    SFetched = 34501,
    SPause = 34502,
    SCancel = 34503,
    SOK = 34504,
    SAborted = 34505,
    SFinished = 34506,
    SRowsPerSecond = 34507,
    STimeFormat = 34508
};

} // namespace

TExporterProgressModel::TExporterProgressModel(TClock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] {
            using namespace std::chrono;
            return duration<double>(steady_clock::now().time_since_epoch()).count();
        };
}

TExporterProgressModel::TReaction TExporterProgressModel::HandleCode(int code, int rows) {
    TReaction r;
    if (code < FirstCode || code > LastCode)
        return r;
    r.Handled = true;
    auto setState = [&](int state, TTimerSwitch timer) {
        displayState_ = state;
        r.StateChanged = true;
        r.Timer = timer;
    };
    auto count = [&](int& counter) {
        counter = rows > 0 ? rows : counter + 1;
        shownCounter_ = counter;
        r.CounterChanged = true;
    };
    switch (code) {
    case 1:
        setState(0, TTimerSwitch::On);
        break;
    case 2:
        setState(2, TTimerSwitch::On);
        count(fetched_);
        break;
    case 3:
        setState(1, TTimerSwitch::On);
        count(skipped_);
        break;
    case 4:
        setState(3, TTimerSwitch::On);
        count(exported_);
        break;
    case 5:
        setState(4, TTimerSwitch::Off);
        break;
    case 6:
        setState(5, TTimerSwitch::On);
        break;
    case 7:
        setState(6, TTimerSwitch::Off);
        break;
    case 8:
        setState(7, TTimerSwitch::Off);
        break;
    case 9:
        r.Close = true;
        break;
    default:
        break;
    }
    if (r.Timer == TTimerSwitch::On && !running_) {
        running_ = true;
        runningSince_ = clock_();
    } else if (r.Timer == TTimerSwitch::Off && running_) {
        running_ = false;
        elapsed_ += clock_() - runningSince_;
    }
    return r;
}

double TExporterProgressModel::ElapsedSeconds() const {
    return running_ ? elapsed_ + (clock_() - runningSince_) : elapsed_;
}

std::string TExporterProgressModel::ElapsedText() const {
    // Whole seconds, as a time of day.
    const double seconds = std::floor(std::max(ElapsedSeconds(), 0.0));
    return rtl::FormatDateTime(ExportLoadStr(STimeFormat), seconds * 1000.0 / rtl::MSecsPerDay);
}

int TExporterProgressModel::Speed() const {
    const double seconds = ElapsedSeconds();
    if (seconds <= 0)
        return 0;
    const double rows = double(fetched_) + double(exported_) + double(skipped_);
    return int(std::lround(rows / seconds));
}

std::string TExporterProgressModel::SpeedText() const {
    return rtl::Format(ExportLoadStr(SRowsPerSecond), {Speed()});
}

bool TExporterProgressModel::ButtonAborts() const {
    return displayState_ == 0 || displayState_ == 1 || displayState_ == 2 || displayState_ == 3 ||
           displayState_ == 5;
}

TExporterProgressModel::TDisplayTexts TExporterProgressModel::DisplayTexts(int state) {
    switch (state) {
    case 0:
        return {ExportLoadStr(SPreparing), {}, ExportLoadStr(SCancel)};
    case 1:
        return {ExportLoadStr(SSkipping), ExportLoadStr(SSkipped), {}};
    case 2:
        return {ExportLoadStr(SFetching), ExportLoadStr(SFetched), {}};
    case 3:
        return {ExportLoadStr(SExporting), ExportLoadStr(SExported), {}};
    case 4:
        return {ExportLoadStr(SPause), {}, {}};
    case 5:
        return {ExportLoadStr(SExporting), {}, ExportLoadStr(SCancel)};
    case 6:
        return {ExportLoadStr(SAborted), {}, ExportLoadStr(SOK)};
    case 7:
        return {ExportLoadStr(SFinished), {}, ExportLoadStr(SOK)};
    default:
        return {};
    }
}

} // namespace exporter
