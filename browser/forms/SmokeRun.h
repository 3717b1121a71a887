#pragma once

#include <QString>

namespace browser {

// Unattended runs of the program (smoke tests, screenshots): after a delay, optionally saves a
// picture of the screen, then closes every window again and again, modal dialogs included, until
// the program has ended.
class SmokeRun {
public:
    // Reads CORMELIAN_EXIT_AFTER_MS and CORMELIAN_SCREENSHOT; does nothing without the first.
    static void ArmFromEnvironment();
    static void Arm(int exitAfterMs, const QString& screenshotFile);

    // Saves the screen with every shown window to file (PNG); false when it could not.
    static bool SaveScreen(const QString& file);
};

inline void ArmSmokeRunFromEnvironment() {
    SmokeRun::ArmFromEnvironment();
}

} // namespace browser
