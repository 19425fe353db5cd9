// What a run tells of the sources that did not go whole: verdicts in, text and counts out, the
// whole text within what a message box shows on the screen.
#include "app/OutcomeMessage.h"
#include "app/MessageBudget.h"
#include "app/RunJudgement.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Moved = fhw::CTransferManifest::Moved;
using Why = fhw::CTransferManifest::Why;

std::wstring Format(UINT id, const std::wstring& first = {}, const std::wstring& second = {})
{
    std::wstring text;
    FormatResString(text, id, first.c_str(), second.c_str());
    return text;
}

std::wstring Head(UINT id, size_t count, const std::wstring& arrived)
{
    std::wstring text;
    FormatResString(text, id, L"R", L"移動", std::to_wstring(count).c_str(), arrived.c_str());
    return text;
}

fhw::CSourceOutcome Source(Moved moved, int n, bool whole = false, const std::wstring& copy = {})
{
    fhw::CSourceOutcome source;
    source.source = L"R:\\DCIM\\" + std::to_wstring(100 + n) + L"CANON";
    source.copy = copy;
    source.moved = moved;
    source.whole = whole;
    return source;
}

std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// The part of `text` that paragraph `id` holds: from its words to the next paragraph.
std::wstring ParagraphIn(const std::wstring& text, UINT id)
{
    const std::wstring words = Format(id);
    const size_t at = text.find(words);
    if (at == std::wstring::npos) return {};
    const size_t end = text.find(L"\n\n", at + words.size());
    return text.substr(at + words.size(), end == std::wstring::npos ? std::wstring::npos : end - at - words.size());
}

// How many sources a paragraph's list stands for: those it names and its "so many more".
size_t SourcesTold(const std::wstring& list, const std::vector<fhw::CSourceOutcome>& sources)
{
    size_t told = 0;
    for (const std::wstring& line : Lines(list)) {
        for (const fhw::CSourceOutcome& source : sources)
            if (line == source.source) ++told;
        for (size_t more = 1; more <= sources.size(); ++more)
            if (line == Format(IDS_TRANSFER_MORE_SOURCES, std::to_wstring(more))) told += more;
    }
    return told;
}

} // namespace

// Each source counts once: arrived whole, partly, or neither; a pull keeps what was judged before it.
TEST(OutcomeMessage, CountLineCountsTheVerdictsTheListsShow)
{
    struct Case {
        const char* name;
        std::vector<fhw::CSourceOutcome> sources;
        bool sourceGone;
        UINT head;
        std::wstring arrived;
        std::vector<UINT> paragraphs;
    };
    fhw::CSourceOutcome partly = Source(Moved::Partly, 1, false, L"C:\\p\\101CANON");
    partly.stayed = {{L"F7.JPG", Why::Undeleted}};
    const Case cases[] = {
        {"arrived and partly",
         {Source(Moved::All, 0, true), partly, Source(Moved::All, 2, true)},
         false,
         IDS_TRANSFER_INCOMPLETE,
         Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"2", L"1"),
         {IDS_TRANSFER_KEPT_PARTLY}},
        {"gone whole counts, gone in part does not",
         {Source(Moved::Gone, 0, true, L"C:\\p\\100CANON"), Source(Moved::Gone, 1, false, L"C:\\p\\101CANON")},
         false,
         IDS_TRANSFER_INCOMPLETE,
         L"1",
         {IDS_TRANSFER_KEPT_GONE}},
        // The changed folder was judged before the card went: it is still told.
        {"pull after a change",
         {Source(Moved::All, 0, true), Source(Moved::Changed, 1, false, L"C:\\p\\101CANON"), partly,
          Source(Moved::Removed, 3, true), Source(Moved::Removed, 4, false)},
         true,
         IDS_TRANSFER_DRIVE_REMOVED,
         Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"2", L"1"),
         {IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_KEPT_CHANGED}},
        {"nothing listed",
         {Source(Moved::Removed, 0, false), Source(Moved::NotArrived, 1)},
         true,
         IDS_TRANSFER_DRIVE_REMOVED,
         L"0",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fhw::CTransferOutcome outcome;
        outcome.sources = c.sources;
        outcome.sourceGone = c.sourceGone;
        const std::wstring text = fhw::ComposeOutcomeMessage(c.head, L'R', L"移動", outcome);
        EXPECT_EQ(text.rfind(Head(c.head, c.sources.size(), c.arrived), 0), 0u) << text;
        EXPECT_LE(outcome.Arrived() + outcome.Partly(), c.sources.size());
        size_t listed = 0;
        for (UINT id : {IDS_TRANSFER_KEPT_STOOD, IDS_TRANSFER_KEPT_NOT_WHOLE, IDS_TRANSFER_KEPT_PARTLY,
                        IDS_TRANSFER_KEPT_GONE, IDS_TRANSFER_KEPT_CHANGED, IDS_TRANSFER_KEPT_UNDELETED}) {
            const bool expected = std::find(c.paragraphs.begin(), c.paragraphs.end(), id) != c.paragraphs.end();
            EXPECT_EQ(expected, text.find(Format(id)) != std::wstring::npos) << id << "\n" << text;
            listed += expected;
        }
        EXPECT_EQ(listed, c.paragraphs.size());
    }
}

// Many kept sources of four kinds under a long destination: every list names what fits, whole,
// and counts the rest, and the text keeps within the box's bound in height and width.
TEST(OutcomeMessage, ManyKeptSourcesKeepWithinTheBoundAndEveryListIsCounted)
{
    const std::wstring destination = L"C:\\users\\taro\\Pictures\\Camera imports\\2026 family trip to the seaside";
    std::vector<fhw::CSourceOutcome> sources;
    const std::pair<Moved, int> kinds[] = {
        {Moved::NameStoodBefore, 12}, {Moved::NotWhole, 11}, {Moved::Partly, 12}, {Moved::Undeleted, 10}};
    int n = 0;
    for (const auto& [moved, count] : kinds)
        for (int i = 0; i < count; ++i, ++n) {
            fhw::CSourceOutcome source = Source(moved, n, false,
                                                destination + L"\\" + std::to_wstring(100 + n) + L"CANON");
            if (moved == Moved::Partly)
                source.stayed = {{L"IMG_0150.JPG", Why::Undeleted}, {L"IMG_0151.JPG", Why::Differs}};
            sources.push_back(source);
        }
    fhw::CTransferOutcome outcome;
    outcome.sources = sources;
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome);
    EXPECT_LE(fhw::WrappedLines(text), fhw::kMessageLines) << text;
    EXPECT_TRUE(fhw::FitsMessageWidth(text));
    for (const auto& [moved, count] : kinds) {
        const UINT id = moved == Moved::NameStoodBefore ? IDS_TRANSFER_KEPT_STOOD
                        : moved == Moved::NotWhole      ? IDS_TRANSFER_KEPT_NOT_WHOLE
                        : moved == Moved::Partly        ? IDS_TRANSFER_KEPT_PARTLY
                                                        : IDS_TRANSFER_KEPT_UNDELETED;
        std::vector<fhw::CSourceOutcome> ofKind;
        for (const fhw::CSourceOutcome& source : sources)
            if (source.moved == moved) ofKind.push_back(source);
        const std::wstring list = ParagraphIn(text, id);
        ASSERT_FALSE(list.empty()) << id << "\n" << text;
        EXPECT_EQ(static_cast<size_t>(count), SourcesTold(list, ofKind)) << id << "\n" << list;
    }
    // A copy's path is named whole or not at all.
    for (const fhw::CSourceOutcome& source : sources) {
        const bool named = text.find(source.source + L"\n") != std::wstring::npos;
        if (named && source.moved != Moved::NameStoodBefore && source.moved != Moved::Undeleted) {
            EXPECT_NE(text.find(source.copy), std::wstring::npos) << source.source;
        }
    }
}

// A path too wide for the screen is shortened in its middle and named; nothing is counted.
TEST(OutcomeMessage, PathTooWideForTheScreenIsShortenedAndNamed)
{
    fhw::CTransferOutcome outcome;
    outcome.sources = {Source(Moved::NotWhole, 0, false, L"C:\\" + std::wstring(150, L'x')),
                       Source(Moved::NotWhole, 1, false, L"C:\\short\\101CANON")};
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome);
    EXPECT_EQ(text.find(std::wstring(150, L'x')), std::wstring::npos);
    EXPECT_NE(text.find(outcome.sources[0].source + L"\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(Format(IDS_TRANSFER_INCOMPLETE_COPY, outcome.sources[1].source, outcome.sources[1].copy)),
              std::wstring::npos);
    EXPECT_EQ(text.find(Format(IDS_TRANSFER_MORE_SOURCES, L"1")), std::wstring::npos) << text;
    EXPECT_TRUE(fhw::FitsMessageWidth(text));
}

// Kept sources whose copies stand under a destination without blanks: every one is named, its
// copy by the start of the path and the folder name at its end, and the box keeps its bound.
TEST(OutcomeMessage, KeptSourcesUnderADestinationWithoutBlanksAreAllNamed)
{
    const std::wstring start = L"D:\\Photos\\Imports_from_the_camera_cards_of_the_whole_family_";
    for (const size_t length : {size_t{92}, size_t{120}, size_t{244}}) {
        SCOPED_TRACE(length);
        const std::wstring destination = start + std::wstring(length - start.size(), L'x');
        fhw::CTransferOutcome outcome;
        int n = 0;
        for (const Moved moved : {Moved::NotWhole, Moved::Partly, Moved::Changed, Moved::Gone}) {
            const std::wstring name = std::to_wstring(100 + n) + L"CANON";
            outcome.sources.push_back(Source(moved, n++, false, destination + L"\\" + name));
            if (moved == Moved::Partly) outcome.sources.back().stayed = {{L"IMG_0001.JPG", Why::Differs}};
        }
        const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome);
        EXPECT_LE(fhw::WrappedLines(text), fhw::kMessageLines) << text;
        EXPECT_TRUE(fhw::FitsMessageWidth(text)) << text;
        for (const fhw::CSourceOutcome& source : outcome.sources) {
            EXPECT_NE(text.find(source.source + L"\n"), std::wstring::npos) << source.source << "\n" << text;
            EXPECT_NE(text.find(source.copy.substr(source.copy.rfind(L'\\')) + L"）"), std::wstring::npos);
        }
        EXPECT_NE(text.find(start.substr(0, 40)), std::wstring::npos);
    }
}

// A copy run names what did not come: an incomplete copy with the file the card would not give,
// a copy changed at the destination while the card keeps the originals, and copies that differ
// with no telling which side changed.
TEST(OutcomeMessage, CopyRunNamesWhatDidNotComeAndWhy)
{
    fhw::CSourceOutcome notWhole = Source(Moved::NotWhole, 1, false, L"C:\\p\\101CANON");
    notWhole.stayed = {{L"IMG_0002.JPG", Why::Unread}};
    const fhw::CSourceOutcome copyChanged = Source(Moved::CopyChanged, 2, false, L"C:\\p\\102CANON");
    const fhw::CSourceOutcome differs = Source(Moved::Differs, 3, false, L"C:\\p\\103CANON");
    fhw::CTransferOutcome outcome;
    outcome.sources = {Source(Moved::All, 0, true), notWhole, copyChanged, differs};
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"コピー", outcome);
    std::wstring head;
    FormatResString(head, IDS_TRANSFER_INCOMPLETE, L"R", L"コピー", L"4", L"1");
    EXPECT_EQ(
        text,
        head +
            Format(IDS_TRANSFER_KEPT_NOT_WHOLE, Format(IDS_TRANSFER_INCOMPLETE_COPY, notWhole.source, notWhole.copy) +
                                                    L"\n" + Format(IDS_TRANSFER_STAYED_UNREAD, L"IMG_0002.JPG")) +
            Format(IDS_TRANSFER_KEPT_COPY_CHANGED,
                   Format(IDS_TRANSFER_COPY_CHANGED_COPY, copyChanged.source, copyChanged.copy)) +
            Format(IDS_TRANSFER_KEPT_DIFFERS, Format(IDS_TRANSFER_DIFFERS_COPY, differs.source, differs.copy)));
}

// A folder the card would not list is told as not arrived, named with why, the source itself or its
// sub-folder; a source of which nothing stands at the destination names no copy to delete.
TEST(OutcomeMessage, WhatTheCardWouldNotListIsToldAsNotArrived)
{
    fhw::CSourceOutcome held = Source(Moved::NotWhole, 1, false, L"C:\\p\\101CANON");
    held.stayed = {{L"101CANON\\", Why::Unlisted}};
    fhw::CSourceOutcome sub = Source(Moved::NotWhole, 2, false, L"C:\\p\\102CANON");
    sub.stayed = {{L"SUB1\\", Why::Unlisted}};
    fhw::CSourceOutcome nothing = Source(Moved::NotCopied, 3);
    nothing.stayed = {{L"103CANON\\", Why::Unlisted}};
    const fhw::CSourceOutcome never = Source(Moved::NotCopied, 4);
    fhw::CTransferOutcome outcome;
    outcome.sources = {Source(Moved::All, 0, true), held, sub, nothing, never};
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"コピー", outcome);
    std::wstring head;
    FormatResString(head, IDS_TRANSFER_INCOMPLETE, L"R", L"コピー", L"5", L"1");
    EXPECT_EQ(text, head +
                        Format(IDS_TRANSFER_KEPT_NOT_WHOLE,
                               Format(IDS_TRANSFER_INCOMPLETE_COPY, held.source, held.copy) + L"\n" +
                                   Format(IDS_TRANSFER_STAYED_UNLISTED, L"101CANON\\") + L"\n" +
                                   Format(IDS_TRANSFER_INCOMPLETE_COPY, sub.source, sub.copy) + L"\n" +
                                   Format(IDS_TRANSFER_STAYED_UNLISTED, L"SUB1\\")) +
                        Format(IDS_TRANSFER_KEPT_NOT_COPIED, nothing.source + L"\n" +
                                                                 Format(IDS_TRANSFER_STAYED_UNLISTED, L"103CANON\\") +
                                                                 L"\n" + never.source));
    EXPECT_EQ(outcome.Arrived(), 1u);
}

// The partly moved paragraph promises the files that stayed only where some follow; "so many more
// files" counts files, and folders apart.
TEST(OutcomeMessage, PartlyMovedSourcesTellOnlyWhatFollows)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::wstring, Why>> stayed;
        UINT paragraph;
        std::wstring more;
    };
    const std::vector<std::pair<std::wstring, Why>> files{
        {L"A.JPG", Why::Differs}, {L"B.JPG", Why::Differs}, {L"C.JPG", Why::Differs}};
    const auto with = [&files](std::vector<std::pair<std::wstring, Why>> more) {
        std::vector<std::pair<std::wstring, Why>> all = files;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    const Case cases[] = {
        {"judged after an end went", {}, IDS_TRANSFER_KEPT_PARTLY_BRIEF, {}},
        {"three files", files, IDS_TRANSFER_KEPT_PARTLY, {}},
        {"files", with({{L"D.JPG", Why::Added}, {L"E.JPG", Why::Added}}), IDS_TRANSFER_KEPT_PARTLY,
         Format(IDS_TRANSFER_MORE_FILES, L"2")},
        {"folders", with({{L"SUB\\", Why::Undeleted}, {L"NEW\\", Why::Added}}), IDS_TRANSFER_KEPT_PARTLY,
         Format(IDS_TRANSFER_MORE_FOLDERS, L"2")},
        {"both", with({{L"D.JPG", Why::Added}, {L"SUB\\", Why::Undeleted}}), IDS_TRANSFER_KEPT_PARTLY,
         Format(IDS_TRANSFER_MORE_FILES_AND_FOLDERS, L"1", L"1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fhw::CSourceOutcome source = Source(Moved::Partly, 0, false, L"C:\\p\\100CANON");
        for (const auto& [path, why] : c.stayed) source.stayed.push_back({path, why});
        fhw::CTransferOutcome outcome;
        outcome.sources = {source};
        const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome);
        std::wstring list = Format(IDS_TRANSFER_PARTLY_MOVED, source.source, source.copy);
        for (size_t i = 0; i < std::min<size_t>(3, c.stayed.size()); ++i)
            list += L"\n" + Format(IDS_TRANSFER_STAYED_DIFFERS, c.stayed[i].first);
        if (!c.more.empty()) list += L"\n" + c.more;
        EXPECT_EQ(text, Head(IDS_TRANSFER_INCOMPLETE, 1, Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"0", L"1")) +
                            Format(c.paragraph, list));
    }
}

TEST(MessageBudget, LinesWrapAtBlanksAndBetweenWideCharacters)
{
    const struct {
        std::wstring text;
        size_t lines;
        bool fits;
    } cases[] = {
        {L"", 1, true},
        {L"a\n\nb", 3, true},
        {std::wstring(48, L'x'), 1, true},
        {std::wstring(100, L'x'), 1, true}, // cannot wrap: the box widens
        {std::wstring(101, L'x'), 1, false},
        {std::wstring(24, L'写'), 1, true},
        {std::wstring(25, L'写'), 2, true},
        {std::wstring(300, L'写'), 13, true},
        {L"C:\\users\\taro\\Pictures\\Camera imports\\107PARTH", 1, true},
        {L"（移動したファイルがある移動先: C:\\users\\taro\\Pictures\\Camera imports）", 2, true},
        {L"word word word word word word word word word word", 2, true},
        {std::wstring(30, L'x') + L"\U0001F4F7" + std::wstring(30, L'x'), 2, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.lines, fhw::WrappedLines(c.text)) << c.text.size();
        EXPECT_EQ(c.fits, fhw::FitsMessageWidth(c.text)) << c.text.size();
    }
}

// A shortened name keeps its start and its end, and never half of a surrogate pair.
TEST(MessageBudget, ShortenedNamesCutBetweenCharacters)
{
    const std::wstring camera = L"\U0001F4F7";
    for (size_t before = 15; before < 25; ++before) {
        const std::wstring name = std::wstring(before, L'a') + camera + std::wstring(40, L'b') + camera + L".JPG";
        const std::wstring shortened = fhw::ShortenMiddle(name, 40);
        SCOPED_TRACE(before);
        EXPECT_LE(shortened.size(), 40u);
        EXPECT_EQ(shortened.substr(shortened.size() - 4), L".JPG");
        for (size_t i = 0; i < shortened.size(); ++i) {
            const wchar_t c = shortened[i];
            if (c >= 0xD800 && c <= 0xDBFF) {
                ASSERT_LT(i + 1, shortened.size());
                EXPECT_TRUE(shortened[i + 1] >= 0xDC00 && shortened[i + 1] <= 0xDFFF);
                ++i;
            } else {
                EXPECT_FALSE(c >= 0xDC00 && c <= 0xDFFF) << "a low surrogate alone at " << i;
            }
        }
    }
    EXPECT_EQ(L"short.JPG", fhw::ShortenMiddle(L"short.JPG", 40));
}

// A verdict made while an end was going stands only for what the deletes took from the card.
TEST(RunJudgement, AVerdictMetByAGoingEndKeepsOnlyWhatIsSure)
{
    CTempFolder temp;
    temp.WriteFile(L"src\\100CANON\\a.jpg", "1234");
    ::CreateDirectoryW((temp / L"dst").c_str(), nullptr);
    fhw::CTransferManifest manifest;
    manifest.Take({temp / L"src\\100CANON"}, true, temp / L"dst");
    temp.WriteFile(L"dst\\100CANON\\a.jpg", "1234"); // the copy, made after the manifest
    const struct {
        const char* name;
        Moved deleted;
        size_t files;
        fhw::CRunEnds ends;
        Moved expected;
        bool stayedKept;
        bool arrived;
    } cases[] = {
        {"both ends there", Moved::Changed, 0, {true, true}, Moved::Changed, true, false},
        {"card went, files had left", Moved::Gone, 2, {false, true}, Moved::Partly, false, false},
        {"card went, nothing left", Moved::Gone, 0, {false, true}, Moved::Removed, false, true},
        {"destination went", Moved::NotWhole, 0, {true, false}, Moved::Removed, false, false},
        {"all left before the card went", Moved::All, 1, {false, true}, Moved::All, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fhw::CTransferManifest::CDeleted deleted;
        deleted.moved = c.deleted;
        deleted.files = c.files;
        deleted.stayed = {{L"a.jpg", Why::Gone}};
        const fhw::CSourceOutcome outcome = fhw::JudgeDeleted(manifest, 0, temp / L"dst", deleted, c.ends);
        EXPECT_EQ(outcome.moved, c.expected);
        EXPECT_EQ(outcome.stayed.size(), c.stayedKept ? 1u : 0u);
        EXPECT_EQ(outcome.CountsArrived(), c.arrived);
        EXPECT_EQ(outcome.copy, temp / L"dst\\100CANON");
    }
}

// A copy run judges what did not come by its copy, and names the file the card would not give.
TEST(RunJudgement, ACopyRunJudgesWhatDidNotComeByItsCopy)
{
    CTempFolder temp;
    for (const wchar_t* file : {L"100WHOLE\\a.jpg", L"100WHOLE\\b.jpg", L"101LOCKD\\a.jpg", L"101LOCKD\\b.jpg"})
        temp.WriteFile(L"DCIM\\" + std::wstring(file), "1234");
    fhw::CTransferManifest manifest;
    manifest.Take({temp / L"DCIM\\100WHOLE", temp / L"DCIM\\101LOCKD"}, true, temp / L"dst");
    // The copy carries each card file's last-write time, as the shell's copy does.
    for (const wchar_t* file : {L"100WHOLE\\a.jpg", L"100WHOLE\\b.jpg", L"101LOCKD\\a.jpg"}) {
        temp.WriteFile(L"dst\\" + std::wstring(file), "1234");
        CopyTime(temp / (L"DCIM\\" + std::wstring(file)), temp / (L"dst\\" + std::wstring(file)));
    }
    const HANDLE locked = ::CreateFileW((temp / L"DCIM\\101LOCKD\\b.jpg").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    fhw::CTransferOutcome outcome;
    fhw::JudgeShellOperation(manifest, temp / L"dst", false, fhw::CSourceVolume::Of(temp / L"DCIM"), outcome);
    ::CloseHandle(locked);
    ASSERT_EQ(outcome.sources.size(), 2u);
    EXPECT_EQ(outcome.sources[0].moved, Moved::All);
    EXPECT_EQ(outcome.sources[1].moved, Moved::NotWhole);
    ASSERT_EQ(outcome.sources[1].stayed.size(), 1u);
    EXPECT_EQ(outcome.sources[1].stayed[0].why, Why::Unread);
}

// A run is whole only when every source arrived and none is to be told: a folder that another hand
// took from the card after its copy stood whole arrived, and is told all the same.
TEST(TransferOutcome, AWholeRunHasEveryVerdictArrivedAndNoneToTell)
{
    const struct {
        const char* name;
        std::vector<fhw::CSourceOutcome> sources;
        bool cancelled;
        bool whole;
    } cases[] = {
        {"all arrived", {Source(Moved::All, 0, true), Source(Moved::All, 1, true)}, false, true},
        {"gone whole", {Source(Moved::All, 0, true), Source(Moved::Gone, 1, true)}, false, false},
        {"cancelled", {Source(Moved::All, 0, true)}, true, false},
        {"not arrived", {Source(Moved::All, 0, true), Source(Moved::NotArrived, 1)}, false, false},
    };
    for (const auto& c : cases) {
        fhw::CTransferOutcome outcome;
        outcome.sources = c.sources;
        outcome.cancelled = c.cancelled;
        EXPECT_EQ(c.whole, outcome.Whole()) << c.name;
    }
}
