#ifndef PELKO_FORMRULES_H
#define PELKO_FORMRULES_H

// Decisions of the form logic that depend only on a few states and the
// firmware release. The window's handlers read the widgets, ask these
// functions, and apply the answer; keeping the decisions here lets them be
// checked without a window.
#include <functional>

namespace FormRules {

// What a handler does to a dependent widget.
enum class Action { Leave, Enable, Disable };

// Modes of the count check: an algorithm was switched off, switched on, or
// nothing changed. The recounts take the count from the boxes as they stand,
// after the readback or an identified release changed many at once; ALIVE's
// frames count in a read up to 1.9.2, and, as the count starts, on any
// release older than 2.0 when a device is identified.
enum CountMode : int { SwitchedOff = 0, Reevaluate = 1, SwitchedOn = 2, Recount = 3, RecountForRelease = 4 };

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
    bool aliveFrames = false; // cbAliveRefreshMode checked
};

// The checked states of those boxes, asked by box name.
AlgoChecks algoChecks(const std::function<bool(const char *box)> &checked);

// What the boxes that are on add up to: VIBRATION fills the count; ALIVE's
// automatic frames count up to 1.9.2. Not capped, so that an overfull form
// can be told apart.
int countOf(const AlgoChecks &on, float version, int limit, bool framesCountBefore2_0 = false);

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
    Action aliveFrames = Action::Leave; // up to 1.9.2 the frames count too
};

// Below the limit, the boxes come back as far as the pairwise exclusions
// allow; at the limit, every unchecked box is closed and checked ones stay
// open so that they can still be switched off.
AlgoAvailability availability(int count, int limit, const AlgoChecks &checked, float version);

// What switching TILT, ROTATION or ORIENTATION on does to one of its mode
// boxes, from the states that mode depends on. Leave: the step is skipped.
struct ModeContext
{
    float version = 0.0f;
    bool onMove = false;               // the on-move box; otherwise the refresh box
    bool takenByShockOrMotion = false; // a running SHOCK or MOTION owns the interrupt this section needs
    bool aliveFrames = false;          // cbAliveRefreshMode checked
    bool temperature = false;          // TEMPERATURE checked
    bool vibration = false;            // VIBRATION checked
    bool rivalHolds = false;           // a checked rival has this mode checked
    bool rivalTicked = false;          // some rival has this mode checked, running or not
};
Action modeOnSwitchOn(const ModeContext &c);

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
