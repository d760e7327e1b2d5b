#ifndef PELKO_DELIVERY_H
#define PELKO_DELIVERY_H

#include "model/uploadplan.h"
#include "report/errors.h"

#include <QString>
#include <QVector>

// What reached the device in one write: every line that went out, with the
// device's verdict, against the lines the plan meant to send. Whatever the
// program says of the device after a write (configured, saved in part, in
// use but not saved) is read from here, so it speaks of what the device
// took in this write and of nothing else.
namespace Upload {

class Delivery
{
public:
    // The two halves of a write, each ended by its save.
    enum class Part { Algorithms, LoRa };

    // A new write of this plan: nothing has gone out yet.
    void begin(const Plan &plan);
    // A line went out and the device gave this verdict (0: accepted).
    void sent(const SentLine &line);

    const QVector<SentLine> &lines() const { return m_lines; }
    // The part's save went out and the device accepted it.
    bool saved(Part part) const;
    // Lines of the part the device accepted after its last accepted save:
    // in use until the device restarts, not in its flash.
    int unsaved(Part part) const;
    // Every line of the plan went out and was accepted, saves included: the
    // device holds the whole form in its flash.
    bool complete() const;

    // What a write that was stopped on its way tells the user: which part
    // is saved and what is in use but not saved.
    Error stopped() const;
    // The same in one line, for a log ("stopped after 23 lines, none of them saved").
    QString stoppedAccount() const;

private:
    QVector<SentLine> m_planned;
    bool m_plannable = true; // the form can be sent whole
    QVector<SentLine> m_lines;
};

// The part a line belongs to, and whether it is that part's save.
Delivery::Part partOf(const Step &row);
bool isSave(const Step &row);

} // namespace Upload

#endif // PELKO_DELIVERY_H
