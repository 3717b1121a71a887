#pragma once

// What the progress window shows, kept apart from the window: the codes the export dialog's run posts,
// three row counters, the display state and the elapsed time with the speed derived from it.
//
// Codes: 1 export begins, 2 a row was fetched (width pre-pass), 3 a row was skipped, 4 a row was
// exported, 5 an abort is being asked about, 6 the user chose to continue, 7 the export was aborted,
// 8 the export ended normally, 9 the run is over (the window closes). Other codes change nothing.

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

    static constexpr int FirstCode = 1;
    static constexpr int LastCode = 9;
    // The time one timer tick adds: 0.00001 of a day (0.864 seconds).
    static constexpr double TickDays = 0.00001;

    TReaction HandleCode(int code);
    // One timer tick.
    void Tick() { elapsed_ += TickDays; }

    int Exported() const { return exported_; }
    int Fetched() const { return fetched_; }
    int Skipped() const { return skipped_; }
    int DisplayState() const { return displayState_; }
    // The counter changed last (all three share one value label).
    int ShownCounter() const { return shownCounter_; }
    // Days, as a date-time value.
    double Elapsed() const { return elapsed_; }

    // The elapsed time as "h:nn:ss" (string 34508).
    std::string ElapsedText() const;
    // Whole seconds of the elapsed time of day (milliseconds dropped).
    int ElapsedSeconds() const;
    // Rows handled (fetched + exported + skipped) per second, rounded; 0 before the first second.
    int Speed() const;
    // "%d rows/sec" (string 34507).
    std::string SpeedText() const;

    // In display states 0, 2, 3 and 5 the button asks for an abort; in the others it finishes the window.
    bool ButtonAborts() const;
    static TDisplayTexts DisplayTexts(int state);

private:
    int exported_ = 0;
    int fetched_ = 0;
    int skipped_ = 0;
    int shownCounter_ = 0;
    int displayState_ = 0;
    double elapsed_ = 0;
};

} // namespace exporter
