#ifndef PELKO_CONFIGURATIONDAY_H
#define PELKO_CONFIGURATIONDAY_H

#include "calc/consumption.h"

#include <QStringList>
#include <QVariantMap>

// The Calculator tab's day as a configuration decides it: what the form's
// algorithms and fields say of the calculator's inputs, in the calculator's
// units. The form cannot know how often the device is shaken or moved, nor
// its battery: those stay the user's.
namespace ConfigurationDay {

struct Day
{
    ConsumptionInputs inputs; // the user's inputs with the configuration's over them
    QStringList filled;       // each input filled, its value and the field it came from
    QStringList left;         // the inputs that stay as the user set them
};

// `form` holds the form's values by widget name, an algorithm box true when
// the upload sends that algorithm (as the configuration file's view gives
// them). An input whose field the form does not hold stays the user's.
Day fromForm(const QVariantMap &form, const ConsumptionInputs &user);

// The line under the button: what was filled and from where, and what was left.
QString describe(const Day &day);

// What a setting of the form means to the calculator, for saying that it was
// taken from the form; empty for a field the calculator does not read.
QString fieldWords(const QString &widget);

// "On the Pelko: 3.1 years; with these changes: 2.4 years."
QString lifetimes(const ConsumptionResults &onDevice, const ConsumptionResults &withChanges);

} // namespace ConfigurationDay

#endif // PELKO_CONFIGURATIONDAY_H
