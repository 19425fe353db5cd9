#include "app/OutcomeMessage.h"

#include "app/MessageBudget.h"
#include "foundation/NumberText.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "ui/MessageBoxMeasure.h"

#include <algorithm>
#include <vector>

namespace fhw {

namespace {

using Moved = CTransferManifest::Moved;
using Why = CTransferManifest::Why;

// At 100 % (96 dots per inch).
constexpr SIZE kLargestBound{1280, 800};

// Files named in one message and of one source, so that the sources themselves keep the room.
constexpr size_t kMaxListedFiles = 9;
constexpr size_t kMaxListedFilesOfSource = 3;
// A longer file name loses its middle: its start and its end (number, extension) tell it apart.
constexpr size_t kMaxNamedFileLength = 40;

std::wstring CountText(size_t count) { return ToWString(static_cast<unsigned long>(count)); }

std::wstring Format(UINT id, const std::wstring& first, const std::wstring& second = {})
{
    std::wstring text;
    FormatResString(text, id, first.c_str(), second.c_str());
    return text;
}

UINT StayedId(Why why)
{
    switch (why) {
    case Why::Differs: return IDS_TRANSFER_STAYED_DIFFERS;
    case Why::Undeleted: return IDS_TRANSFER_STAYED_UNDELETED;
    case Why::Unreadable: return IDS_TRANSFER_STAYED_UNREADABLE;
    case Why::Added: return IDS_TRANSFER_STAYED_ADDED;
    case Why::Unread: return IDS_TRANSFER_STAYED_UNREAD;
    case Why::Unlisted: return IDS_TRANSFER_STAYED_UNLISTED;
    case Why::CopyUnreadable: return IDS_TRANSFER_STAYED_COPY_UNREADABLE;
    case Why::NotMoved: return IDS_TRANSFER_STAYED_NOT_MOVED;
    case Why::NotMovedBesideCopy: return IDS_TRANSFER_STAYED_NOT_MOVED_BESIDE_COPY;
    case Why::NotMovedCopyUnlisted: return IDS_TRANSFER_STAYED_NOT_MOVED_COPY_UNLISTED;
    case Why::LeftUnconfirmed: return IDS_TRANSFER_STAYED_LEFT_UNCONFIRMED;
    case Why::Vanished: return IDS_TRANSFER_STAYED_VANISHED;
    case Why::UnlistedBefore: return IDS_TRANSFER_STAYED_UNLISTED_BEFORE;
    case Why::Resized: return IDS_TRANSFER_STAYED_RESIZED;
    case Why::Gone: break;
    }
    return IDS_TRANSFER_STAYED_GONE;
}

// The source, with where its copy stands in message `copyId` when something of it does.
std::wstring SourceLine(const CSourceOutcome& outcome, UINT copyId)
{
    return outcome.copy.empty() || !copyId ? outcome.source : Format(copyId, outcome.source, outcome.copy);
}

// The line of a source with its copy in paragraph line `copyId`: a copy that could not all be
// read or listed is not told as one that differs.
UINT CopyLine(UINT copyId, const CSourceOutcome& source)
{
    return source.moved == Moved::Uncompared ? IDS_TRANSFER_UNCOMPARED_COPY : copyId;
}

// How many more files and folders there are, each counted as what it is.
std::wstring MoreFiles(size_t files, size_t folders)
{
    if (files && folders) return Format(IDS_TRANSFER_MORE_FILES_AND_FOLDERS, CountText(files), CountText(folders));
    return folders ? Format(IDS_TRANSFER_MORE_FOLDERS, CountText(folders))
                   : Format(IDS_TRANSFER_MORE_FILES, CountText(files));
}

// The measure of the box the message will be shown in, and the width its text has.
struct CFit {
    const CMessageMeasure& measure;
    int width;
};

// A source in the line of `copyId`, then at most `files` of what is not where a whole move puts it
// and why (`every` one of them, else only those the card would not give and those found on neither
// side), then how many more; `named` gets how many it names.
std::wstring SourceBlock(const CSourceOutcome& outcome, UINT copyId, bool every, size_t files, size_t& named,
                         const CFit& fit)
{
    std::wstring text = SourceLine(outcome, copyId);
    size_t moreFiles = 0, moreFolders = 0;
    named = 0;
    for (const CTransferManifest::CStayedFile& file : outcome.stayed) {
        if (!every && file.why != Why::Unread && file.why != Why::Unlisted && file.why != Why::Vanished) continue;
        const bool folder = !file.path.empty() && file.path.back() == L'\\';
        std::wstring line;
        if (named < files) line = Format(StayedId(file.why), ShortenMiddle(file.path, kMaxNamedFileLength));
        if (!line.empty() && fit.measure.Width(line) <= fit.width) {
            text += L"\n" + line;
            ++named;
        } else {
            ++(folder ? moreFolders : moreFiles);
        }
    }
    if (moreFiles || moreFolders) text += L"\n" + MoreFiles(moreFiles, moreFolders);
    // A run too wide for the screen (a long path without blanks) loses its middle: the start of
    // the path and the folder name at its end tell it.
    return ShortenWideRuns(text, fit.measure, fit.width);
}

// One paragraph: its sources, those it names (with how many of their files) and how many it does not.
struct CParagraph {
    UINT id;
    UINT copyId; // the line of a source with its copy; 0 for the source alone
    std::vector<const CSourceOutcome*> sources;
    struct CNamed {
        const CSourceOutcome* source;
        size_t files; // of the files told with it, those named
    };
    std::vector<CNamed> named;
    size_t next = 0;   // the next source to name
    bool full = false; // the next source did not fit

    bool Partly() const { return id == IDS_TRANSFER_KEPT_PARTLY; }
    // Its folders hold the only copies of what left the card ("削除しないでください").
    bool OnlyCopies() const
    {
        return id == IDS_TRANSFER_KEPT_PARTLY || id == IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED ||
               id == IDS_TRANSFER_KEPT_GONE || id == IDS_TRANSFER_KEPT_CHANGED;
    }
    // Some file of its sources left the card and is not known to stand at the destination.
    bool Unconfirmed() const
    {
        return std::any_of(sources.begin(), sources.end(), [](const CSourceOutcome* source) {
            return std::any_of(source->stayed.begin(), source->stayed.end(), [](const auto& file) {
                return file.why == Why::LeftUnconfirmed || file.why == Why::Vanished;
            });
        });
    }
    // The lines of a named source with `files` of its files; `shown` gets how many it names.
    std::wstring Item(const CSourceOutcome& source, size_t files, size_t& shown, const CFit& fit) const
    {
        const bool every = Partly() || id == IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED;
        return SourceBlock(source, CopyLine(copyId, source), every, files, shown, fit);
    }
    std::wstring Item(const CNamed& n, const CFit& fit) const
    {
        size_t shown = 0;
        return Item(*n.source, n.files, shown, fit);
    }
};

UINT ParagraphOf(Moved moved)
{
    switch (moved) {
    case Moved::NameStoodBefore: return IDS_TRANSFER_KEPT_STOOD;
    case Moved::NotWhole: return IDS_TRANSFER_KEPT_NOT_WHOLE;
    case Moved::NotCopied: return IDS_TRANSFER_KEPT_NOT_COPIED;
    case Moved::Partly: return IDS_TRANSFER_KEPT_PARTLY;
    case Moved::Gone: return IDS_TRANSFER_KEPT_GONE;
    case Moved::Unconfirmed: return IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED;
    case Moved::Changed: return IDS_TRANSFER_KEPT_CHANGED;
    case Moved::CopyChanged: return IDS_TRANSFER_KEPT_COPY_CHANGED;
    case Moved::Differs:
    case Moved::Uncompared: return IDS_TRANSFER_KEPT_DIFFERS;
    case Moved::Undeleted: return IDS_TRANSFER_KEPT_UNDELETED;
    default: break;
    }
    return IDS_TRANSFER_KEPT_UNREADABLE;
}

std::vector<CParagraph> Paragraphs(const CTransferOutcome& outcome)
{
    std::vector<CParagraph> paragraphs{{IDS_TRANSFER_KEPT_STOOD, 0},
                                       {IDS_TRANSFER_KEPT_NOT_WHOLE, IDS_TRANSFER_INCOMPLETE_COPY},
                                       {IDS_TRANSFER_KEPT_NOT_COPIED, 0},
                                       {IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_PARTLY_MOVED},
                                       {IDS_TRANSFER_KEPT_MOVED_UNCONFIRMED, IDS_TRANSFER_GONE_COPY},
                                       {IDS_TRANSFER_KEPT_GONE, IDS_TRANSFER_GONE_COPY},
                                       {IDS_TRANSFER_KEPT_CHANGED, IDS_TRANSFER_CHANGED_COPY},
                                       {IDS_TRANSFER_KEPT_COPY_CHANGED, IDS_TRANSFER_COPY_CHANGED_COPY},
                                       {IDS_TRANSFER_KEPT_DIFFERS, IDS_TRANSFER_DIFFERS_COPY},
                                       {IDS_TRANSFER_KEPT_UNDELETED, 0},
                                       {IDS_TRANSFER_KEPT_UNREADABLE, 0}};
    for (const CSourceOutcome& source : outcome.sources) {
        if (!IsListed(source.moved)) continue;
        const UINT id = ParagraphOf(source.moved);
        std::find_if(paragraphs.begin(), paragraphs.end(), [id](const CParagraph& p) {
            return p.id == id;
        })->sources.push_back(&source);
    }
    std::erase_if(paragraphs, [](const CParagraph& p) { return p.sources.empty(); });
    return paragraphs;
}

// The words of `paragraph`: the partly moved one promises the files that stayed only where some
// are told (`files`), and those not confirmed at the destination only where some are; it says that
// the program compared what left the card only where it did.
UINT Wording(const CParagraph& paragraph, bool files, bool movedByShell)
{
    if (!paragraph.Partly()) return paragraph.id;
    if (movedByShell && files && paragraph.Unconfirmed()) return IDS_TRANSFER_KEPT_PARTLY_UNCONFIRMED_BY_SHELL;
    if (movedByShell) return files ? IDS_TRANSFER_KEPT_PARTLY_BY_SHELL : IDS_TRANSFER_KEPT_PARTLY_BRIEF_BY_SHELL;
    return files ? IDS_TRANSFER_KEPT_PARTLY : IDS_TRANSFER_KEPT_PARTLY_BRIEF;
}

// Names the next source of `paragraph`, none of its files yet, when it fits in `left` pixels; false
// when it did not.
bool NameNext(CParagraph& paragraph, int& left, const CFit& fit)
{
    if (paragraph.next == paragraph.sources.size()) return false;
    const CParagraph::CNamed named{paragraph.sources[paragraph.next], 0};
    const int height = fit.measure.Height(paragraph.Item(named, fit));
    if (height > left) return false;
    left -= height;
    paragraph.named.push_back(named);
    ++paragraph.next;
    return true;
}

// Names files of the sources already named, in their order, while they fit and `budget` lasts.
void NameFiles(CParagraph& paragraph, int& left, size_t& budget, const CFit& fit)
{
    for (CParagraph::CNamed& named : paragraph.named) {
        const int without = fit.measure.Height(paragraph.Item(named, fit));
        for (size_t files = std::min(kMaxListedFilesOfSource, budget); files > 0; --files) {
            size_t shown = 0;
            const int height = fit.measure.Height(paragraph.Item(*named.source, files, shown, fit));
            if (height - without > left) continue;
            left -= height - without;
            named.files = files;
            budget -= shown;
            break;
        }
    }
}

// The message with its lists cut to `room`, the pixels its text may take.
std::wstring ComposeWithin(const std::wstring& head, const CTransferOutcome& outcome, SIZE room,
                           const CMessageMeasure& measure)
{
    const CFit fit{measure, static_cast<int>(room.cx)};
    std::wstring text = ShortenWideRuns(head, measure, fit.width);

    // Every paragraph keeps its words and a line for how many more (the empty line its list would
    // begin on); the sources share the rest, one of each paragraph in turn, first of the paragraphs
    // whose folders hold the only copies, then of the others; then the files of the named ones.
    std::vector<CParagraph> paragraphs = Paragraphs(outcome);
    int used = measure.Height(text);
    for (const CParagraph& paragraph : paragraphs)
        used += measure.Height(Format(Wording(paragraph, true, outcome.movedByShell), L""));
    int left = std::max(0, static_cast<int>(room.cy) - used);
    for (const bool onlyCopies : {true, false})
        for (bool named = true; named;) {
            named = false;
            for (CParagraph& paragraph : paragraphs) {
                if (paragraph.OnlyCopies() != onlyCopies) continue;
                if (!paragraph.full && NameNext(paragraph, left, fit))
                    named = true;
                else
                    paragraph.full = true;
            }
        }
    size_t budget = kMaxListedFiles;
    for (const bool onlyCopies : {true, false})
        for (CParagraph& paragraph : paragraphs)
            if (paragraph.OnlyCopies() == onlyCopies) NameFiles(paragraph, left, budget, fit);

    for (const CParagraph& paragraph : paragraphs) {
        std::wstring list;
        bool files = false;
        for (const CParagraph::CNamed& named : paragraph.named) {
            list += (list.empty() ? L"" : L"\n") + paragraph.Item(named, fit);
            files = files || !named.source->stayed.empty();
        }
        if (const size_t more = paragraph.sources.size() - paragraph.next)
            list += (list.empty() ? L"" : L"\n") + Format(IDS_TRANSFER_MORE_SOURCES, CountText(more));
        text += ShortenWideRuns(Format(Wording(paragraph, files, outcome.movedByShell), list), measure, fit.width);
    }
    return text;
}

} // namespace

std::wstring ComposeOutcomeMessage(UINT headId, wchar_t drive, const std::wstring& verb,
                                   const CTransferOutcome& outcome, const CMessageMeasure& measure)
{
    std::wstring arrived = CountText(outcome.Arrived());
    if (const size_t partly = outcome.Partly())
        arrived = Format(IDS_TRANSFER_ARRIVED_WITH_PART, arrived, CountText(partly));
    std::wstring head;
    const std::wstring driveText(1, drive), count = CountText(outcome.sources.size());
    FormatResString(head, headId, driveText.c_str(), verb.c_str(), count.c_str(), arrived.c_str());

    // The text is measured as the box wraps it, within its room; a real box then lays it out once
    // more, and where it came out larger than measured (Wine picks its wrap width from the text),
    // the text gets that much less room than it took.
    const SIZE bound = measure.Bound();
    SIZE room = measure.TextBound();
    std::wstring text;
    for (int round = 0; round < 4; ++round) {
        const CMessageMeasure within = measure.Within(room.cx);
        text = ComposeWithin(head, outcome, room, within);
        const std::optional<SIZE> drawn = within.DrawnBox(text);
        if (!drawn || (drawn->cx <= bound.cx && drawn->cy <= bound.cy)) break;
        if (drawn->cy > bound.cy)
            room.cy = std::min<LONG>(room.cy, within.Height(text)) - (drawn->cy - bound.cy) - within.LineHeight();
        if (drawn->cx > bound.cx) room.cx = std::min<LONG>(room.cx, within.Width(text)) - (drawn->cx - bound.cx);
    }
    return text;
}

SIZE OutcomeMessageBound(const RECT& workArea, UINT dpi)
{
    // The program is aware of each monitor's scale: at 200 % the box draws its text twice as large,
    // in device pixels, and needs twice the pixels to name as much.
    if (dpi == 0) dpi = USER_DEFAULT_SCREEN_DPI;
    const SIZE largest{::MulDiv(kLargestBound.cx, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI),
                       ::MulDiv(kLargestBound.cy, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI)};
    const LONG width = workArea.right - workArea.left, height = workArea.bottom - workArea.top;
    if (width <= 0 || height <= 0) return largest;
    return SIZE{std::min(width, largest.cx), std::min(height, largest.cy)};
}

} // namespace fhw
