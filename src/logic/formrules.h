#ifndef PELKO_FORMRULES_H
#define PELKO_FORMRULES_H

// Decisions of the form logic that depend only on a few states and the
// firmware release. The window's handlers read the widgets, ask these
// functions, and apply the answer; keeping the decisions here lets them be
// checked without a window.
namespace FormRules {

// What a handler does to a dependent widget.
enum class Action { Leave, Enable, Disable };

// The algorithm counter after an algorithm was switched on (mode 2), switched
// off (mode 0) or merely re-evaluated (any other mode). The result always
// lies within 0..limit.
int countAfter(int count, int mode, int limit);

// Checked states of the seven algorithm boxes that the limit governs.
struct AlgoChecks
{
    bool shock = false;
    bool motion = false;
    bool temperature = false;
    bool tilt = false;
    bool rotation = false;
    bool orientation = false;
    bool vibration = false;
};

// What the count check does to each algorithm box.
struct AlgoAvailability
{
    Action shock = Action::Leave;
    Action motion = Action::Leave;
    Action temperature = Action::Leave;
    Action tilt = Action::Leave;
    Action rotation = Action::Leave;
    Action orientation = Action::Leave;
    Action vibration = Action::Leave;
};

// Below the limit, the boxes come back as far as the pairwise exclusions
// allow; at the limit, every unchecked box is closed and checked ones stay
// open so that they can still be switched off.
AlgoAvailability availability(int count, int limit, const AlgoChecks &checked, bool aliveFramesChecked, float version);

// The states the refresh and on-move steps of TILT, ROTATION and ORIENTATION
// look at.
struct ModeContext
{
    float version = 0.0f;
    bool aliveFrames = false; // cbAliveRefreshMode checked
    bool shock = false;
    bool motion = false;
    bool temperature = false;
    bool vibration = false;
    bool tilt = false;
    bool tiltRefresh = false;
    bool tiltOnMove = false;
    bool rotation = false;
    bool rotationRefresh = false;
    bool rotationOnMove = false;
    bool orientation = false;
    bool orientRefresh = false;
    bool orientOnMove = false;
};

// Refresh-mode box of TILT or ROTATION when that algorithm is switched on.
Action tiltOrRotationRefresh(const ModeContext &c);
// Refresh-mode box of ORIENTATION when it is switched on.
Action orientationRefresh(const ModeContext &c);
// On-move box of TILT when it is switched on (Leave: step skipped).
Action tiltOnMove(const ModeContext &c);
// On-move box of ROTATION when it is switched on (Leave: step skipped).
Action rotationOnMove(const ModeContext &c);
// On-move box of ORIENTATION when it is switched on (Leave: step skipped).
Action orientationOnMove(const ModeContext &c);

// Full scale in mG of an acceleration-range slider position (1..4), or 0 for
// a position the slider does not have.
int rangeMaxMilliG(int position);

// The shock inhibition is either off (0) or at least 50 ms: a step up from 0
// lands on 50, anything else below 50 drops to 0.
int snappedInhibition(int value);

// Which burst-number combos a tracking burst mode uses.
struct BurstNumbers
{
    bool motion;
    bool stillness;
};
BurstNumbers burstNumbersFor(int burstModeIndex);

} // namespace FormRules

#endif // PELKO_FORMRULES_H
