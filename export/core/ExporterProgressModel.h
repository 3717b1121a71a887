#pragma once

// What the progress window shows, kept apart from the window: the codes the export dialog's run posts,
// three row counters, the display state and the elapsed time (real time while the timer runs) with the
// speed derived from it.
//
// Codes: 1 export begins, 2 a row was fetched (width pre-pass), 3 a row was skipped, 4 a row was
// exported, 5 an abort is being asked about, 6 the user chose to continue, 7 the export was aborted,
// 8 the export ended normally, 9 the run is over (the window closes). Other codes change nothing. A row
// code may carry the number of rows of its kind so far (the message's second value): the counter is then
// set to it, so that a run that reports rows at intervals still shows the exact count; without it (0) the
// counter counts one more row.

#include <functional>
#include <string>

namespace exporter {

class TExporterProgressModel {
public:
    enum class TTimerSwitch { Keep, On, Off };

    // How the window reacts to one code.
    struct TReaction {
        bool Handled = false; // a known code
        TTimerSwitch Timer = TTimerSwitch::Keep;
        bool StateChanged = false;   // DisplayState() is new: refresh the status texts
        bool CounterChanged = false; // ShownCounter() is new
        bool Close = false;          // code 9
    };

    // The texts of a display state; an empty text leaves that control as it is.
    struct TDisplayTexts {
        std::string Status;
        std::string ExportedCaption;
        std::string Button;
    };

    // Seconds on a monotonic clock.
    using TClock = std::function<double()>;

    static constexpr int FirstCode = 1;
    static constexpr int LastCode = 9;

    // clock: where the elapsed time is read (the steady clock when empty; tests pass their own).
    explicit TExporterProgressModel(TClock clock = {});

    // Also runs the elapsed-time clock while the timer is on: the time spent on the abort question and
    // after the end is not counted.
    TReaction HandleCode(int code, int rows = 0);

    int Exported() const { return exported_; }
    int Fetched() const { return fetched_; }
    int Skipped() const { return skipped_; }
    int DisplayState() const { return displayState_; }
    // The counter changed last (all three share one value label).
    int ShownCounter() const { return shownCounter_; }
    // Seconds the timer has been on, up to now.
    double ElapsedSeconds() const;

    // The elapsed time as "h:nn:ss" (string 34508).
    std::string ElapsedText() const;
    // Rows handled (fetched + exported + skipped) per elapsed second, rounded; 0 before any time passed.
    int Speed() const;
    // "%d rows/sec" (string 34507).
    std::string SpeedText() const;

    // While the export runs (display states 0, 1, 2, 3 and 5) the button asks for an abort; in the others
    // (the abort question, aborted, finished) it finishes the window.
    bool ButtonAborts() const;
    static TDisplayTexts DisplayTexts(int state);

private:
    int exported_ = 0;
    int fetched_ = 0;
    int skipped_ = 0;
    int shownCounter_ = 0;
    int displayState_ = 0;
    TClock clock_;
    double elapsed_ = 0;      // seconds of the finished running spans
    double runningSince_ = 0; // clock time the current span began
    bool running_ = false;
};

} // namespace exporter
