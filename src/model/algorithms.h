#ifndef PELKO_ALGORITHMS_H
#define PELKO_ALGORITHMS_H

#include "model/dumpkeytable.h"

#include <cstddef>

// The device's detection algorithms, one row each, in the order of the
// configuration file, the upload's blocks and the dump's sections. Everything
// that lists algorithms reads this table: the upload's mask and blocks, the
// dump's enable sentences, the form's boxes and the file's groups. Each box
// runs the handler of its own name (on_<checkBox>_clicked).
namespace Model {

struct Algorithm
{
    const char *name;     // as the user, the configuration file (its group) and the warnings name it
    int bit;              // in the mask of the "ALGO" command
    const char *checkBox; // its box in the head of the form
    const char *command;  // command word of its settings; the catalogue's block of its fields
    const char *trace;    // debug line of its block in the upload
    int section;          // its section of the parameter dump
    // "Algorithm ... enable." in the dump, and another firmware's wording of
    // it; none: the device does not say (VIBRATION).
    const char *sentence;
    const char *otherSentence;
    // Place among the boxes the readback ticks from the sentences, from 1;
    // 0: not ticked that way (ALIVE always runs; VIBRATION has no sentence).
    int readOrder;
    // Runs whenever its box is checked, even one the limit closed.
    bool runsWhileClosed;
};

enum AlgorithmIndex { Alive, Shock, Motion, Temperature, Tilt, Rotation, Orientation, Vibration, kAlgorithmCount };

inline constexpr Algorithm kAlgorithms[kAlgorithmCount] = {
    {"ALIVE", 1, "cbAlive", "ALIVE", "Algo Alive Actif", SectionAlive, "Algorithm ALIVE enable.", nullptr, 0, true},
    {"SHOCK", 4, "cbChoc", "CHOC", "Algo Choc Actif", SectionShock, "Algorithm CHOC enable.", "Algorithm SHOCK enable.",
     1, false},
    {"MOTION", 32, "cbMvt", "MVT", "Algo Mouvement Actif", SectionMvt, "Algorithm MOVEMENT enable.", nullptr, 3, false},
    {"TEMPERATURE", 2, "cbTemp", "TEMP", "Algo Température Actif", SectionTemp, "Algorithm TEMPERATURE enable.",
     nullptr, 4, false},
    {"TILT", 8, "cbTilt", "TILT", "Algo Inclinaison Actif", SectionTilt, "Algorithm TILT enable.", nullptr, 2, false},
    {"ROTATION", 128, "cbRotation", "ROTATION", "Algo Rotation Actif", SectionRotation, "Algorithm ROTATION enable.",
     nullptr, 5, false},
    {"ORIENTATION", 16, "cbOrient", "ORIENT", "Algo Orientation Actif", SectionOrientation, "Algorithm ORIENT enable.",
     nullptr, 6, false},
    {"VIBRATION", 256, "cbVibe", "VIBE", "Algo Vibration Actif", SectionVibration, nullptr, nullptr, 0, true},
};

// The algorithms the readback ticks from the dump's sentences, in the order
// it ticks them.
constexpr int kReadCount = 6;
const Algorithm *const *readOrder();

// The row of a command word or of a name; null when none.
const Algorithm *algorithmOfCommand(const char *command);
const Algorithm *algorithmNamed(const char *name);

// The group of the configuration file that holds a command word's settings:
// an algorithm's name, or "MPU", "COMMON", "LORA"; null when none.
const char *groupOfCommand(const char *command);
bool isGroupName(const char *name);

} // namespace Model

#endif // PELKO_ALGORITHMS_H
