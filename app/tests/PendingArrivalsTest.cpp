// A card is taken up once per arrival: which pending arrivals a run's take-ups settle.
#include "app/PendingArrivals.h"

#include <gtest/gtest.h>

#include <map>

TEST(PendingArrivals, ATakeUpAfterTheArrivalOfTheVolumeNowThereSettlesIt)
{
    const auto bit = [](wchar_t letter) { return 1u << (letter - L'A'); };
    const fhw::CTakenUpVolume takenUpAt2{{L'S', 0xAu}, 2};
    struct Row {
        const char* what;
        std::vector<fhw::ArrivalStamp> arrivals; // at S, in the order they came
        std::map<wchar_t, DWORD> now;            // the serial at each letter now; absent: unread
        DWORD pending;                           // left afterwards
    };
    const Row rows[] = {
        {"told under the run's dialog", {1}, {{L'S', 0xA}}, 0},
        {"told after the run was done with the letter", {3}, {{L'S', 0xA}}, bit(L'S')},
        {"told again after it: the latest counts", {1, 3}, {{L'S', 0xA}}, bit(L'S')},
        {"another card put in while the run asked", {1}, {{L'S', 0xB}}, bit(L'S')},
        {"no card that can be read now", {1}, {}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fhw::CPendingArrivals pending([&row](wchar_t letter) {
            const auto there = row.now.find(letter);
            return there == row.now.end() ? CLetterVolume{letter} : CLetterVolume{letter, there->second};
        });
        for (const fhw::ArrivalStamp stamp : row.arrivals) pending.Arrived(bit(L'S') | bit(L'T'), stamp);
        pending.DropTakenUp({takenUpAt2, {{L'R', 0xAu}, 4}});
        EXPECT_EQ(pending.Mask(), row.pending | bit(L'T')) << "T: no run took it up";
        pending.Drop(bit(L'T'));
        EXPECT_EQ(pending.Mask(), row.pending);
    }
}
