// What a run tells of the sources that did not go whole: verdicts in, text and counts out, the
// whole text within what a message box shows on the screen.
#include "app/OutcomeMessage.h"
#include "app/MessageBudget.h"
#include "app/RunJudgement.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TempFolder.h"
#include "ui/MessageBoxMeasure.h"
#include "ui/Msg.h"

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

// A path of `length` characters under C:\\Users\\taro, of words parted by `blank`, ending in `tail`.
std::wstring PathOf(size_t length, const std::wstring& blank = L" ", const std::wstring& tail = L"",
                    size_t perFolder = 4)
{
    std::wstring path = L"C:\\Users\\taro\\Pictures";
    const wchar_t* words[] = {L"Camera", L"imports", L"from", L"the", L"family", L"trip", L"to", L"the", L"seaside"};
    for (size_t i = 0; path.size() + tail.size() < length; ++i)
        path += (i % perFolder == 0 ? L"\\" : blank) + std::wstring(words[i % 9]);
    path = path.substr(0, length - tail.size()) + tail;
    if (path.back() == L'\\' || path.back() == L' ') path.back() = L'x';
    return path;
}

// `count` sources of verdict `moved`, numbered from `first`, whose copies stand under `destination`.
std::vector<fhw::CSourceOutcome> Sources(Moved moved, int first, int count, const std::wstring& destination)
{
    std::vector<fhw::CSourceOutcome> sources;
    for (int n = first; n < first + count; ++n)
        sources.push_back(Source(moved, n, false, destination + L"\\" + std::to_wstring(100 + n) + L"CANON"));
    return sources;
}

const CMessageBoxLayout& BoxLayout();

// The message composed for a work area of `size`.
std::wstring Compose(const fhw::CTransferOutcome& outcome, SIZE size, UINT head = IDS_TRANSFER_INCOMPLETE)
{
    return fhw::ComposeOutcomeMessage(head, L'R', L"移動", outcome, CMessageMeasure(BoxLayout(), size));
}

// The message box as the system draws `text`: shown for real, measured and answered.
struct CDrawnBox {
    RECT box{};
    RECT ok{};
};
CDrawnBox Drawn(const std::wstring& text)
{
    CDialogAnswerer answer(IDOK);
    CMessageBoxMsg sink;
    sink.Show(text, MB_ICONERROR);
    EXPECT_TRUE(answer.Wait());
    return {answer.m_box, answer.m_ok};
}

// The layout of the real message box, read once.
const CMessageBoxLayout& BoxLayout()
{
    static const CMessageBoxLayout layout = CMessageBoxLayout::Of(nullptr, MB_ICONERROR);
    return layout;
}

// The measure of the real box on a work area of 1280 x 800.
const CMessageMeasure& Measure()
{
    static const CMessageMeasure measure(BoxLayout(), SIZE{1280, 800});
    return measure;
}

// The text keeps within the room the box has for it on a work area of 1280 x 800.
void ExpectWithinTheBound(const std::wstring& text)
{
    EXPECT_LE(Measure().Height(text), Measure().TextBound().cy) << text;
    EXPECT_LE(Measure().Width(text), Measure().TextBound().cx) << text;
}

// Whether the line of `copy` holds a run between blanks that `measure` finds wider than the room:
// the only kind of copy line that may lose its middle.
bool HasRunWiderThanTheRoom(const std::wstring& copy, const CMessageMeasure& measure)
{
    const std::wstring line = copy + L"）";
    for (size_t start = 0, end = 0; end != std::wstring::npos; start = end + 1) {
        end = line.find_first_of(L" \u3000", start);
        const std::wstring run = line.substr(start, end == std::wstring::npos ? end : end - start);
        if (measure.Width(run) > measure.TextBound().cx) return true;
    }
    return false;
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
        // The shell took it from the card to the destination, where not all of it could be checked.
        {"moved by the shell, not all checked",
         {Source(Moved::All, 0, true), Source(Moved::Unconfirmed, 1, false, L"C:\\p\\101CANON"), partly},
         false,
         IDS_TRANSFER_INCOMPLETE,
         Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"2", L"1"),
         {IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED}},
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
        const std::wstring text = fhw::ComposeOutcomeMessage(c.head, L'R', L"移動", outcome, Measure());
        EXPECT_EQ(text.rfind(Head(c.head, c.sources.size(), c.arrived), 0), 0u) << text;
        EXPECT_LE(outcome.Arrived() + outcome.Partly(), c.sources.size());
        size_t listed = 0;
        for (UINT id :
             {IDS_TRANSFER_KEPT_STOOD, IDS_TRANSFER_KEPT_NOT_WHOLE, IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_KEPT_GONE,
              IDS_TRANSFER_KEPT_CHANGED, IDS_TRANSFER_KEPT_UNDELETED, IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED}) {
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
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome, Measure());
    ExpectWithinTheBound(text);
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
    outcome.sources = {Source(Moved::NotWhole, 0, false, L"C:\\" + std::wstring(300, L'x')),
                       Source(Moved::NotWhole, 1, false, L"C:\\short\\101CANON")};
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome, Measure());
    EXPECT_EQ(text.find(std::wstring(300, L'x')), std::wstring::npos);
    EXPECT_NE(text.find(outcome.sources[0].source + L"\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(Format(IDS_TRANSFER_INCOMPLETE_COPY, outcome.sources[1].source, outcome.sources[1].copy)),
              std::wstring::npos);
    EXPECT_EQ(text.find(Format(IDS_TRANSFER_MORE_SOURCES, L"1")), std::wstring::npos) << text;
    ExpectWithinTheBound(text);
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
        const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome,
                                                             Measure());
        ExpectWithinTheBound(text);
        for (const fhw::CSourceOutcome& source : outcome.sources) {
            EXPECT_NE(text.find(source.source + L"\n"), std::wstring::npos) << source.source << "\n" << text;
            EXPECT_NE(text.find(source.copy.substr(source.copy.rfind(L'\\')) + L"）"), std::wstring::npos);
        }
        EXPECT_NE(text.find(start.substr(0, 40)), std::wstring::npos);
    }
}

// A copy run names what did not come: an incomplete copy with the file the card would not give,
// a copy changed at the destination while the card keeps the originals, copies that differ with
// no telling which side changed, and beside them one that could not be compared.
TEST(OutcomeMessage, CopyRunNamesWhatDidNotComeAndWhy)
{
    fhw::CSourceOutcome notWhole = Source(Moved::NotWhole, 1, false, L"C:\\p\\101CANON");
    notWhole.stayed = {{L"IMG_0002.JPG", Why::Unread}};
    const fhw::CSourceOutcome copyChanged = Source(Moved::CopyChanged, 2, false, L"C:\\p\\102CANON");
    const fhw::CSourceOutcome differs = Source(Moved::Differs, 3, false, L"C:\\p\\103CANON");
    const fhw::CSourceOutcome uncompared = Source(Moved::Uncompared, 4, false, L"C:\\p\\104CANON");
    fhw::CTransferOutcome outcome;
    outcome.sources = {Source(Moved::All, 0, true), notWhole, copyChanged, differs, uncompared};
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"コピー", outcome, Measure());
    std::wstring head;
    FormatResString(head, IDS_TRANSFER_INCOMPLETE, L"R", L"コピー", L"5", L"1");
    EXPECT_EQ(text, head +
                        Format(IDS_TRANSFER_KEPT_NOT_WHOLE,
                               Format(IDS_TRANSFER_INCOMPLETE_COPY, notWhole.source, notWhole.copy) + L"\n" +
                                   Format(IDS_TRANSFER_STAYED_UNREAD, L"IMG_0002.JPG")) +
                        Format(IDS_TRANSFER_KEPT_COPY_CHANGED,
                               Format(IDS_TRANSFER_COPY_CHANGED_COPY, copyChanged.source, copyChanged.copy)) +
                        Format(IDS_TRANSFER_KEPT_DIFFERS,
                               Format(IDS_TRANSFER_DIFFERS_COPY, differs.source, differs.copy) + L"\n" +
                                   Format(IDS_TRANSFER_UNCOMPARED_COPY, uncompared.source, uncompared.copy)));
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
    const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"コピー", outcome, Measure());
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

// The shell's own move names a folder it split with its destination and each file it left, and
// why; a file whose copy could not be read is told as such, not as differing. The shell moved the
// files itself: the paragraph does not say the program compared them before they left the card.
TEST(OutcomeMessage, TheShellsMoveNamesWhatItLeftAndWhy)
{
    fhw::CSourceOutcome split = Source(Moved::Partly, 1, false, L"C:\\p\\101CANON");
    split.stayed = {
        {L"IMG_2.JPG", Why::NotMoved}, {L"IMG_3.JPG", Why::NotMovedBesideCopy}, {L"IMG_4.JPG", Why::CopyUnreadable}};
    fhw::CTransferOutcome outcome;
    outcome.sources = {split};
    outcome.movedByShell = true;
    EXPECT_EQ(fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome, Measure()),
              Head(IDS_TRANSFER_INCOMPLETE, 1, Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"0", L"1")) +
                  Format(IDS_TRANSFER_KEPT_PARTLY_BY_SHELL,
                         Format(IDS_TRANSFER_PARTLY_MOVED, split.source, split.copy) + L"\n" +
                             Format(IDS_TRANSFER_STAYED_NOT_MOVED, L"IMG_2.JPG") + L"\n" +
                             Format(IDS_TRANSFER_STAYED_NOT_MOVED_BESIDE_COPY, L"IMG_3.JPG") + L"\n" +
                             Format(IDS_TRANSFER_STAYED_COPY_UNREADABLE, L"IMG_4.JPG")));

    // Where the destination folder could not be listed, what left the card is told as not confirmed
    // there; what the shell took whole is told as moved, with what could not be checked and why; a
    // file found on neither side is named beside any source.
    fhw::CSourceOutcome held = Source(Moved::Partly, 2, false, L"C:\\p\\102CANON");
    held.stayed = {{L"IMG_5.JPG", Why::LeftUnconfirmed}, {L"IMG_6.JPG", Why::NotMovedCopyUnlisted}};
    fhw::CSourceOutcome took = Source(Moved::Unconfirmed, 3, false, L"C:\\p\\103CANON");
    took.stayed = {{L"SUB\\", Why::UnlistedBefore}, {L"IMG_8.JPG", Why::Resized}};
    fhw::CSourceOutcome lost = Source(Moved::NotCopied, 4);
    lost.stayed = {{L"IMG_9.JPG", Why::Vanished}};
    outcome.sources = {held, took, lost};
    EXPECT_EQ(
        fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome, Measure()),
        Head(IDS_TRANSFER_INCOMPLETE, 3, Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"1", L"1")) +
            Format(IDS_TRANSFER_KEPT_NOT_COPIED,
                   lost.source + L"\n" + Format(IDS_TRANSFER_STAYED_VANISHED, L"IMG_9.JPG")) +
            Format(IDS_TRANSFER_KEPT_PARTLY_UNCONFIRMED_BY_SHELL,
                   Format(IDS_TRANSFER_PARTLY_MOVED, held.source, held.copy) + L"\n" +
                       Format(IDS_TRANSFER_STAYED_LEFT_UNCONFIRMED, L"IMG_5.JPG") + L"\n" +
                       Format(IDS_TRANSFER_STAYED_NOT_MOVED_COPY_UNLISTED, L"IMG_6.JPG")) +
            Format(IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED, Format(IDS_TRANSFER_GONE_COPY, took.source, took.copy) + L"\n" +
                                                            Format(IDS_TRANSFER_STAYED_UNLISTED_BEFORE, L"SUB\\") +
                                                            L"\n" + Format(IDS_TRANSFER_STAYED_RESIZED, L"IMG_8.JPG")));
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
        bool byShell = false;
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
        {"moved by the shell, judged after an end went", {}, IDS_TRANSFER_KEPT_PARTLY_BRIEF_BY_SHELL, {}, true},
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
        outcome.movedByShell = c.byShell;
        const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome,
                                                             Measure());
        std::wstring list = Format(IDS_TRANSFER_PARTLY_MOVED, source.source, source.copy);
        for (size_t i = 0; i < std::min<size_t>(3, c.stayed.size()); ++i)
            list += L"\n" + Format(IDS_TRANSFER_STAYED_DIFFERS, c.stayed[i].first);
        if (!c.more.empty()) list += L"\n" + c.more;
        EXPECT_EQ(text, Head(IDS_TRANSFER_INCOMPLETE, 1, Format(IDS_TRANSFER_ARRIVED_WITH_PART, L"0", L"1")) +
                            Format(c.paragraph, list));
    }
}

// Texts measured as the box wraps them, judged by the box itself: shown for real, its text is as
// high as measured, or higher by no more than a line where the box chose a wider wrap; a run that
// cannot wrap widens the box as measured.
TEST(MessageBudget, LinesWrapAsTheBoxWrapsThem)
{
    std::wstring emoji, stars;
    for (int i = 0; i < 40; ++i) emoji += L"\U0001F4F7";
    for (int i = 0; i < 60; ++i) stars += L"★";
    const std::wstring cases[] = {
        L"a\n\nb",
        std::wstring(48, L'x'),
        std::wstring(100, L'x'), // cannot wrap: the box widens
        std::wstring(101, L'x'),
        std::wstring(24, L'写'),
        std::wstring(25, L'写'),
        std::wstring(300, L'写'),
        L"C:\\users\\taro\\Pictures\\Camera imports\\107PARTH",
        L"（移動したファイルがある移動先: C:\\users\\taro\\Pictures\\Camera imports）",
        L"word word word word word word word word word word",
        std::wstring(30, L'x') + L"\U0001F4F7" + std::wstring(30, L'x'),
        L"写真 " + emoji + L" です", // the box does not break between emoji
        L"（" + stars + L"）",       // drawn full-width
        L"C:\\Users\\taro\\Pictures\\Camera_imports_from_the_fa\u2026trip\\to_the_seaside_Camera_imports_"
        L"fromx\\100CANON",
    };
    EXPECT_EQ(Measure().Height(L""), Measure().LineHeight());
    for (const std::wstring& text : cases) {
        SCOPED_TRACE(text.size());
        CDialogAnswerer answer(IDOK);
        CMessageBoxMsg().Show(text, MB_ICONERROR);
        ASSERT_TRUE(answer.Wait());
        const LONG height = answer.m_textBox.bottom - answer.m_textBox.top;
        EXPECT_GE(Measure().Height(text), height) << text;
        EXPECT_LE(Measure().Height(text), height + Measure().LineHeight()) << text;
        EXPECT_GE(Measure().Width(text) + BoxLayout().chrome.cx, answer.m_box.right - answer.m_box.left - 24) << text;
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

// The messages of runs that left a box off the screen, shown in the real box: the box with its OK
// button keeps within a work area of 1280 x 800 and of 1024 x 768, and every list is told. Where
// the box wraps wider than the room (a large screen, 200 % scale), lines of words come whole, and a
// copy is cut only where the box cannot break it.
TEST(OutcomeMessage, TheDrawnBoxWithItsButtonKeepsWithinTheWorkArea)
{
    struct Case {
        const char* name;
        std::vector<fhw::CSourceOutcome> sources;
    };
    std::vector<Case> cases;
    {
        std::vector<fhw::CSourceOutcome> incomplete = Sources(Moved::NotWhole, 0, 10, PathOf(196, L"_"));
        for (fhw::CSourceOutcome& source : incomplete) source.stayed = {{L"IMG_0150.JPG", Why::Unread}};
        cases.push_back({"ten incomplete copies into a full destination under a 196-character path", incomplete});
    }
    {
        std::vector<fhw::CSourceOutcome> kept = Sources(Moved::Partly, 0, 12, PathOf(217, L"_"));
        for (fhw::CSourceOutcome& source : kept) source.stayed = {{L"IMG_0150.JPG", Why::Undeleted}};
        for (Moved moved : {Moved::Changed, Moved::NotWhole})
            for (const fhw::CSourceOutcome& source :
                 Sources(moved, static_cast<int>(kept.size()), 11, PathOf(217, L"_")))
                kept.push_back(source);
        cases.push_back({"34 kept folders under 217 characters", kept});
    }
    {
        std::wstring file;
        while (file.size() < 70) file += L"家族旅行の思い出の写真を整理するための長いファイル名";
        std::vector<fhw::CSourceOutcome> incomplete;
        for (int n = 0; n < 14; ++n) {
            const std::wstring name = std::to_wstring(100 + n) + L"_FAMILY_TRIP_TO_THE_SEASIDE_SUMMER_2026";
            incomplete.push_back(Source(Moved::NotWhole, n, false, PathOf(120) + L"\\" + name));
            incomplete.back().source = L"R:\\DCIM\\" + name;
            for (int i = 0; i < 4; ++i)
                incomplete.back().stayed.push_back({std::to_wstring(i) + file + L".JPG", Why::Unread});
        }
        cases.push_back({"14 incomplete folders with long names", incomplete});
    }
    {
        std::vector<fhw::CSourceOutcome> undeleted = Sources(Moved::Undeleted, 0, 60, L"C:\\p");
        for (fhw::CSourceOutcome& source : undeleted) source.source += L"_FAMILY_TRIP_TO_THE_SEASIDE_2026";
        cases.push_back({"60 undeleted folders with long names", undeleted});
    }
    cases.push_back({"long paths without blanks", Sources(Moved::Gone, 0, 8, PathOf(240, L"_"))});
    {
        std::wstring emoji, stars;
        for (int i = 0; i < 60; ++i) emoji += L"\U0001F4F7";
        for (int i = 0; i < 99; ++i) stars += L"★";
        cases.push_back({"emoji runs", Sources(Moved::Changed, 0, 8, PathOf(200, L"\U0001F4F7", L"\\" + emoji))});
        cases.push_back({"star runs", Sources(Moved::Partly, 0, 9, PathOf(200, L" ", L"\\" + stars))});
    }
    cases.push_back(
        {"a changed folder under words",
         {Source(Moved::Changed, 0, false,
                 L"C:\\Users\\taro\\Pictures\\Camera imports from the family trip to the seaside\\100CANON")}});
    CMessageBoxLayout wide = BoxLayout();
    wide.wrapWidth = 1500;
    wide.font.lfHeight *= 2;
    // At 200 % (192 dots per inch) the box keeps within 1280 x 800 of the user's scale, and names all
    // that the box at 100 % names on 1280 x 800.
    const struct {
        const CMessageBoxLayout* layout;
        RECT workArea;
        UINT dpi;
    } layouts[] = {{&BoxLayout(), {0, 0, 1280, 800}, 96},
                   {&BoxLayout(), {0, 0, 1024, 768}, 96},
                   {&wide, {0, 0, 1280, 800}, 96},
                   {&wide, {0, 0, 2560, 1600}, 192}};
    std::vector<std::vector<std::wstring>> namedAtNormalScale(cases.size());
    for (const auto& [layout, workArea, dpi] : layouts)
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const SIZE size = fhw::OutcomeMessageBound(workArea, dpi);
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                         (layout == &wide ? " wrapping at 1500 in a doubled font" : "") + " at " + std::to_string(dpi) +
                         " dpi");
            fhw::CTransferOutcome outcome;
            outcome.sources = c.sources;
            const CMessageMeasure measure(*layout, size);
            const std::wstring text = fhw::ComposeOutcomeMessage(IDS_TRANSFER_INCOMPLETE, L'R', L"移動", outcome,
                                                                 measure);
            std::vector<std::wstring> named;
            for (const std::wstring& line : Lines(text))
                for (const fhw::CSourceOutcome& source : c.sources)
                    if (line == source.source) named.push_back(line);
            if (layout == &BoxLayout() && size.cx == 1280) namedAtNormalScale[i] = named;
            if (dpi == 192) {
                for (const std::wstring& source : namedAtNormalScale[i]) {
                    EXPECT_NE(std::find(named.begin(), named.end(), source), named.end()) << source << "\n" << text;
                }
            }
            const CDrawnBox drawn = Drawn(text);
            EXPECT_LE(drawn.box.right - drawn.box.left, size.cx);
            EXPECT_LE(drawn.box.bottom - drawn.box.top, size.cy) << text;
            EXPECT_TRUE(drawn.ok.top >= drawn.box.top && drawn.ok.bottom <= drawn.box.bottom &&
                        drawn.ok.bottom > drawn.ok.top)
                << "the OK button is outside the box";
            for (UINT id : {IDS_TRANSFER_KEPT_NOT_WHOLE, IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_KEPT_GONE,
                            IDS_TRANSFER_KEPT_CHANGED}) {
                std::vector<fhw::CSourceOutcome> ofKind;
                for (const fhw::CSourceOutcome& source : c.sources)
                    if (fhw::IsListed(source.moved)) ofKind.push_back(source);
                std::wstring list = ParagraphIn(text, id);
                if (list.empty() && id == IDS_TRANSFER_KEPT_PARTLY)
                    list = ParagraphIn(text, IDS_TRANSFER_KEPT_PARTLY_BRIEF);
                std::erase_if(ofKind, [&](const fhw::CSourceOutcome& s) {
                    return (id == IDS_TRANSFER_KEPT_NOT_WHOLE) != (s.moved == Moved::NotWhole) ||
                           (id == IDS_TRANSFER_KEPT_PARTLY) != (s.moved == Moved::Partly) ||
                           (id == IDS_TRANSFER_KEPT_GONE) != (s.moved == Moved::Gone) ||
                           (id == IDS_TRANSFER_KEPT_CHANGED) != (s.moved == Moved::Changed);
                });
                EXPECT_EQ(ofKind.empty(), list.empty()) << id << " has not its words whole\n" << text;
                EXPECT_EQ(ofKind.size(), SourcesTold(list, ofKind)) << id;
            }
            for (const fhw::CSourceOutcome& source : c.sources) {
                const bool named = text.find(source.source + L"\n") != std::wstring::npos &&
                                   source.moved != Moved::Undeleted; // told without its copy
                if (named && text.find(source.copy) == std::wstring::npos) {
                    EXPECT_TRUE(HasRunWiderThanTheRoom(source.copy, measure)) << source.copy << "\n" << text;
                }
            }
        }
}

// Sixty folders of four kinds under a long destination: when not all can be named, the paragraphs
// whose folders hold the only copies name theirs first, the folders the card still holds come after.
TEST(OutcomeMessage, FoldersHoldingTheOnlyCopiesAreNamedFirst)
{
    const std::wstring destination = PathOf(150);
    fhw::CTransferOutcome outcome;
    int n = 0;
    const std::pair<Moved, int> kinds[] = {
        {Moved::Undeleted, 30}, {Moved::Partly, 15}, {Moved::Gone, 5}, {Moved::Changed, 10}};
    for (const auto& [moved, count] : kinds) {
        for (fhw::CSourceOutcome& source : Sources(moved, n, count, destination)) {
            if (moved == Moved::Partly) source.stayed = {{L"IMG_0150.JPG", Why::Differs}};
            outcome.sources.push_back(source);
        }
        n += count;
    }
    for (const SIZE size : {SIZE{1280, 800}, SIZE{1024, 768}}) {
        SCOPED_TRACE(size.cy);
        const std::wstring text = Compose(outcome, size);
        const auto named = [&](UINT id) {
            size_t count = 0;
            for (const std::wstring& line : Lines(ParagraphIn(text, id)))
                for (const fhw::CSourceOutcome& source : outcome.sources) count += line == source.source;
            return count;
        };
        const size_t undeleted = named(IDS_TRANSFER_KEPT_UNDELETED);
        const size_t partly = named(IDS_TRANSFER_KEPT_PARTLY), gone = named(IDS_TRANSFER_KEPT_GONE),
                     changed = named(IDS_TRANSFER_KEPT_CHANGED);
        EXPECT_GT(partly, 0u) << text;
        EXPECT_GT(gone, 0u);
        EXPECT_GT(changed, 0u);
        // The card still holds what the last paragraph names: it gets only room too small for the
        // next folder of any other paragraph.
        if (undeleted > 0) {
            const int given = static_cast<int>(undeleted) * Measure().Height(outcome.sources[0].source);
            const struct {
                size_t named, first, count;
                UINT copyId;
            } others[] = {{partly, 30, 15, IDS_TRANSFER_PARTLY_MOVED},
                          {gone, 45, 5, IDS_TRANSFER_GONE_COPY},
                          {changed, 50, 10, IDS_TRANSFER_CHANGED_COPY}};
            for (const auto& other : others) {
                if (other.named == other.count) continue;
                const fhw::CSourceOutcome& next = outcome.sources[other.first + other.named];
                EXPECT_LT(given, Measure().Height(Format(other.copyId, next.source, next.copy))) << text;
            }
        }
    }
}
