// A card is taken up once per arrival: which arrivals are the cards that runs took up, in the
// orders Windows (notices during the run) and Wine (notices after it) tell them.
#include "app/PendingArrivals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

enum class Step {
    TakeUp,  // the run lists the sources of the card at S
    Arrival, // an arrival notice for S and T is handled
    Removal, // a removal notice for S is handled
    Gone,    // the run finds the card it took up gone
    RunEnd,  // the run hands over what it took up
    Tick,    // the timer looks at the pending drives
    Swap,    // another card stands at S now
    Pull,    // the card is out, and back in (the same card at S)
    Unread,  // the volume at S cannot be read
};

constexpr DWORD kS = 1u << (L'S' - L'A');
constexpr DWORD kT = 1u << (L'T' - L'A');

struct Row {
    const char* what;
    std::vector<Step> steps;
    bool pendingS;  // S is taken up after the run
    bool heldAfter; // the card at S counts as taken up for the catch-up
};

} // namespace

TEST(PendingArrivals, AnArrivalIsTheTakenUpCardOnlyWhileItStandsUnremoved)
{
    using enum Step;
    const Row rows[] = {
        {"Windows: its own notice during the copy", {TakeUp, Arrival, RunEnd}, false, true},
        {"Wine: its own notice after the run", {TakeUp, RunEnd, Arrival, Tick}, false, true},
        {"a notice crossing a Start before it reached the letter", {Arrival, TakeUp, RunEnd}, false, true},
        {"a notice of an earlier insertion handled after the run",
         {Removal, TakeUp, RunEnd, Arrival, Tick},
         false,
         true},
        {"Windows: pulled during the copy, put back under the box",
         {TakeUp, Pull, Removal, Gone, Arrival, RunEnd},
         true,
         false},
        {"Wine: pulled during the copy, put back under the box",
         {TakeUp, Pull, Gone, Removal, Arrival, RunEnd},
         true,
         false},
        {"put back under the box, its removal never told", {TakeUp, Pull, Gone, Arrival, RunEnd}, true, false},
        {"pulled and put back in a Wine copy: both told after it",
         {TakeUp, Pull, RunEnd, Removal, Arrival, Tick},
         true,
         false},
        {"another card put in under the dialog, unannounced", {TakeUp, Swap, Arrival, RunEnd}, true, true},
        {"another card put in after the run", {TakeUp, RunEnd, Swap, Arrival, Tick}, true, true},
        {"no card that can be read now", {TakeUp, Unread, Arrival, RunEnd}, false, true},
        {"removed after the run: no card held there", {TakeUp, RunEnd, Removal, Tick}, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::optional<DWORD> serialAtS = 0xA;
        fhw::CPendingArrivals pending([&](wchar_t letter) {
            return letter == L'S' ? CLetterVolume{letter, serialAtS} : CLetterVolume{letter, 0xCu};
        });
        fhw::TakenUpVolumes run;
        for (const Step step : row.steps) {
            switch (step) {
            case TakeUp: run.push_back({{L'S', serialAtS}, fhw::NextDriveEventStamp()}); break;
            case Arrival: pending.Arrived(kS | kT); break;
            case Removal: pending.Removed(kS, fhw::NextDriveEventStamp()); break;
            case Gone: run.back().gone = true; break;
            case RunEnd:
                pending.RunEnded(run);
                pending.DropTakenUp();
                break;
            case Tick: pending.DropTakenUp(); break;
            case Swap: serialAtS = 0xB; break;
            case Pull: break;
            case Unread: serialAtS.reset(); break;
            }
        }
        EXPECT_EQ(pending.Mask() & kS, row.pendingS ? kS : 0);
        const LetterVolumes held = pending.TakenUp();
        EXPECT_EQ(held.size(), row.heldAfter ? 1u : 0u);
        if (row.heldAfter && !held.empty()) {
            EXPECT_EQ(held[0].letter, L'S');
        }
        const bool tArrived = std::find(row.steps.begin(), row.steps.end(), Arrival) != row.steps.end();
        EXPECT_EQ(pending.Mask() & kT, tArrived ? kT : 0) << "T: no run took it up";
        pending.Drop(kT);
        EXPECT_EQ(pending.Mask(), row.pendingS ? kS : 0);
    }
}
