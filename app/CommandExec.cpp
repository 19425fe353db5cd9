#include "app/CommandExec.h"

#include "app/AppResources.h"
#include "app/ConfirmDlg.h"
#include "app/CopyThenDelete.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "app/Setting.h"
#include "app/SourceVolume.h"
#include "app/TransferManifest.h"
#include "foundation/CommandLine.h"
#include "foundation/FileList.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/PathSort.h"
#include "foundation/ResString.h"
#include "foundation/ScopeExit.h"
#include "resource.h"
#include "shell/FileUtilities.h"
#include "shell/ShellExecute.h"
#include "shell/VolumeEject.h"
#include "ui/Msg.h"

#include <boost/regex.hpp>
#include <shlwapi.h>

namespace fhw {

namespace {

// Sources named in one paragraph, and files named in one message and of one source; then how
// many more there are, so that every paragraph and its warning fit on the screen.
constexpr size_t kMaxListedSources = 10;
constexpr size_t kMaxListedFiles = 9;
constexpr size_t kMaxListedFilesOfSource = 3;
// A longer file name loses its middle: its start and its end (number, extension) tell it apart.
constexpr size_t kMaxNamedFileLength = 40;

std::wstring ShortenedName(const std::wstring& name)
{
    if (name.size() <= kMaxNamedFileLength) return name;
    const size_t head = kMaxNamedFileLength / 2, tail = kMaxNamedFileLength - head - 1;
    return name.substr(0, head) + L"\u2026" + name.substr(name.size() - tail);
}

std::wstring CountText(size_t count) { return ToWString(static_cast<unsigned long>(count)); }

// The first `max` lines, then how many more there are in message `moreId`.
std::wstring BoundedLines(const std::list<std::wstring>& lines, size_t max, UINT moreId)
{
    std::wstring text;
    size_t shown = 0;
    for (const std::wstring& line : lines) {
        if (shown == max) break;
        text += (shown++ ? L"\n" : L"") + line;
    }
    if (lines.size() > shown) {
        std::wstring more;
        FormatResString(more, moreId, CountText(lines.size() - shown).c_str());
        text += (shown ? L"\n" : L"") + more;
    }
    return text;
}

UINT StayedId(CTransferManifest::Why why)
{
    switch (why) {
    case CTransferManifest::Why::Differs: return IDS_TRANSFER_STAYED_DIFFERS;
    case CTransferManifest::Why::Undeleted: return IDS_TRANSFER_STAYED_UNDELETED;
    case CTransferManifest::Why::Added: return IDS_TRANSFER_STAYED_ADDED;
    case CTransferManifest::Why::Gone: break;
    }
    return IDS_TRANSFER_STAYED_GONE;
}

// The source, with where its copy stands in message `copyId` when something of it does.
std::wstring SourceLine(const CSourceOutcome& outcome, UINT copyId)
{
    if (outcome.copy.empty()) return outcome.source;
    std::wstring line;
    FormatResString(line, copyId, outcome.source.c_str(), outcome.copy.c_str());
    return line;
}

// Each partly moved source with where the files that left it are, then (`withFiles`) those that
// did not leave and why, from one budget of named files for the whole message.
std::list<std::wstring> PartlyMovedLines(const std::vector<const CSourceOutcome*>& partly, bool withFiles)
{
    std::list<std::wstring> lines;
    size_t budget = kMaxListedFiles;
    for (const CSourceOutcome* outcome : partly) {
        std::wstring line = SourceLine(*outcome, IDS_TRANSFER_PARTLY_MOVED);
        if (withFiles && !outcome->stayed.empty()) {
            std::list<std::wstring> files;
            for (const CTransferManifest::CStayedFile& file : outcome->stayed) {
                files.emplace_back();
                FormatResString(files.back(), StayedId(file.why), ShortenedName(file.path).c_str());
            }
            const size_t named = std::min({kMaxListedFilesOfSource, budget, files.size()});
            budget -= named;
            line += L"\n" + BoundedLines(files, named, IDS_TRANSFER_MORE_FILES);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

void CCommandExec::Execute(bool doIt, bool rethrow)
{
    // A run never starts inside another one's dialogs, also not inside the box that shows the
    // failure it ended with: the frame keeps the drives that came meanwhile pending until then.
    if (!doIt || m_running) return;
    m_running = true;
    const auto done = ScopeExit([this] { m_running = false; });
    CCommand::Execute(doIt, rethrow);
}

void CCommandExec::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    // Tells a debugger that a run begins (the benchmarks time the run from here).
    ::OutputDebugStringW(L"fernhollow-run");
    CRun run{m_driveMask, m_arm};
    const bool reportIfNone = m_reportIfNone;
    m_found = false;
    // Handed back also when a failure ends the run: the cards it took up before are done.
    const auto handBack = ScopeExit([&] { m_takenUp = std::move(run.takenUp); });
    try {
        Run(run);
    } catch (...) {
        // The drives done before a failure that ends the run are reported all the same.
        ShowResults(run);
        throw;
    }
    ShowResults(run);
    m_found = run.found;
    if (reportIfNone && !run.found) throw my::CException(IDS_NOTHING_MATCHED);
}

void CCommandExec::Run(CRun& run)
{
    const CExecSetting setting = g_setting->Exec;
    bool perDrive = false;
    std::wstring folder;
    try {
        folder = GetSourceFolder(setting.SrcFolder, perDrive);
        CheckPattern(setting.SrcFname);
        CheckDstFolder(setting.DstFolder);
    } catch (...) {
        if (g_mainFrame) g_mainFrame->DropRunDrives(run.driveMask);
        throw;
    }
    if (g_mainFrame) g_mainFrame->TakePendingDrives(run.arm);
    if (!perDrive) {
        ExecuteFolder(run, folder, setting);
        return;
    }
    std::wstring path = L"A:" + folder;
    for (int i = 0; i < 26; ++i) {
        if (!(run.driveMask & (1u << i))) continue;
        path[0] = static_cast<wchar_t>(L'A' + i);
        ExecuteFolder(run, path, setting);
    }
}

std::list<std::wstring> CollectSources(const std::wstring& folder, const std::wstring& pattern,
                                       std::list<std::wstring>& tooComplex)
{
    std::list<std::wstring> entries, names, failed;
    EnumFiles(entries, folder, std::wstring(), 0, 0, false);
    boost::wregex expression;
    if (!pattern.empty()) expression.assign(pattern);
    for (const std::wstring& name : entries) {
        try {
            if (pattern.empty() || boost::regex_search(name, expression)) names.push_back(name);
        } catch (const boost::regex_error&) {
            // Boost gives up on a match that would take too long (error_complexity) or too deep a
            // backtrack (error_stack): that name is not taken, the others are.
            failed.push_back(name);
        }
    }
    SortPathsLogical(names, false);
    SortPathsLogical(failed, false);
    MakeFullPaths(failed, folder, tooComplex);
    std::list<std::wstring> sources;
    MakeFullPaths(names, folder, sources);
    return sources;
}

void CCommandExec::ExecuteFolder(CRun& run, const std::wstring& path, const CExecSetting& setting)
{
    // Only removable drives arrive; the others are not asked for their volume before their folder
    // is found (a network drive may be slow).
    const UINT type = path.size() > 1 && path[1] == L':' ? GetDriveTypeOfLetter(path[0]) : DRIVE_UNKNOWN;
    const bool removable = type == DRIVE_REMOVABLE || type == DRIVE_CDROM;
    const bool there = !path.empty() && ::PathFileExistsW(path.c_str());
    if (!there && !removable) return;
    // The volume is noted as the sources are listed: they are moved from that volume only. The run
    // hands it back once done with the letter, so that an arrival of this card told meanwhile, or
    // late, does not take it up again.
    const CSourceVolume volume = CSourceVolume::Of(path);
    const auto handBack = ScopeExit([&] {
        if (removable) run.takenUp.push_back({volume.volume, NextArrivalStamp()});
    });
    if (!there) return;
    run.found = true;
    const wchar_t drive = path[0];
    std::list<std::wstring> tooComplex;
    const std::list<std::wstring> sources = CollectSources(path, setting.SrcFname, tooComplex);
    if (!tooComplex.empty())
        Report(my::CException(IDS_PATTERN_TOO_COMPLEX, ListFirstLines(tooComplex, kMaxListedSources)));

    CConfirmDlg dialog;
    dialog.SetSetting(setting);
    dialog.m_operator.m_sink.m_msg = m_msg ? m_msg : dialog.m_operator.m_sink.m_msg;
    const size_t count = sources.size();
    if (count > 0) {
        dialog.m_operator.m_from = sources;
        if (setting.GetConfirm() && dialog.DoModal(::GetActiveWindow()) != IDOK) return;
        // Pulled, or another card put in, while the question was open: nothing of the list is on it.
        if (!volume.IsThere()) {
            ReportIncomplete(IDS_TRANSFER_DRIVE_REMOVED, drive, dialog.m_operator.m_wFunc == FO_COPY, count, 0,
                             CKeptSources(), false);
            return;
        }
        // A destination that is missing would make the shell rename the first source to it.
        if (!::PathIsDirectoryW(setting.DstFolder.c_str())) files::CreateFolderOrThrow(setting.DstFolder);
        // Every entry is judged file by file: a pulled card leaves no source to look at.
        CTransferManifest manifest;
        manifest.Take(sources, true, setting.DstFolder);
        CKeptSources kept;
        const CFileOperationResult result = NeedsCopyThenDelete(dialog.m_operator)
                                                ? MoveByCopyThenDelete(dialog.m_operator, manifest, kept)
                                                : dialog.m_operator.Execute();
        if (!CheckArrival(result, manifest, volume, dialog.m_operator, kept)) return;
    }

    const CExecSetting& chosen = dialog.m_setting;
    bool ejected = false, disconnected = false;
    if (chosen.GetEject()) ejected = EjectDrive(disconnected, drive, count);
    if (chosen.GetShowExplorer() && count > 0) OpenExplorer(dialog.m_operator.m_to, dialog.m_operator.m_from);
    ShowResult(run, drive, count, dialog.m_operator.m_wFunc == FO_COPY, ejected, disconnected);
}

bool CCommandExec::CheckArrival(const CFileOperationResult& result, const CTransferManifest& manifest,
                                const CSourceVolume& volume, const CSHFileOperator& op, const CKeptSources& kept)
{
    const bool copy = op.m_wFunc == FO_COPY;
    const size_t count = op.m_from.size();
    const size_t arrived = manifest.CountArrived(op.m_to, !copy);
    // Only the drive's own going is a removal: what another hand took from a drive that is still
    // there is told as such, beside the rest.
    const bool sourceThere = volume.IsThere();
    const bool destinationThere = IsFolderPresent(op.m_to);
    // A cancel is the user's only while both ends are there: a vanished drive makes the shell
    // answer "cancelled" as well.
    UINT id = 0;
    if (!sourceThere)
        id = destinationThere ? IDS_TRANSFER_DRIVE_REMOVED : IDS_TRANSFER_BOTH_REMOVED;
    else if (!destinationThere)
        id = IDS_TRANSFER_DESTINATION_REMOVED;
    else if (result.GetOutcome() == CFileOperationResult::Cancelled)
        id = IDS_TRANSFER_CANCELLED_PART;
    else if (arrived == count && kept.Empty())
        return true;
    else if (!result.m_error.HasError() || !kept.Empty()) // the operator has shown its own failure
        id = IDS_TRANSFER_INCOMPLETE;
    if (!id) return false;
    ReportIncomplete(id, volume.path[0], copy, count, arrived, kept, sourceThere && destinationThere);
    return false;
}

void CCommandExec::Report(const CSimpleErr& err)
{
    if (m_msg) m_msg->ShowError(err);
}

void CCommandExec::ReportIncomplete(UINT id, wchar_t drive, bool copy, size_t count, size_t arrived,
                                    const CKeptSources& kept, bool bothEndsThere)
{
    using Moved = CTransferManifest::Moved;
    const CAppResources& r = *g_appResources;
    const std::wstring driveText(1, drive);
    const std::wstring verb = copy ? r.m_verbCopy.m_text : r.m_verbMove.m_text;
    const std::wstring countText = CountText(count);
    std::wstring arrivedText = CountText(arrived);
    // A source of which files left the card did arrive in part: the count must not say that nothing did.
    if (const size_t partly = kept.PartlyArrived())
        FormatResString(arrivedText, IDS_TRANSFER_ARRIVED_WITH_PART, std::wstring(arrivedText).c_str(),
                        CountText(partly).c_str());
    CSimpleErr err;
    err.Set(id, &driveText, &verb, &countText, &arrivedText);

    // Each source is told by what stands where now. With an end gone, what the card or the
    // destination holds is no longer known; but files that left the card through the deletes
    // stand only at the destination, so their sources are always told.
    std::list<std::wstring> stood, notWhole, changed, undeleted, gone;
    std::vector<const CSourceOutcome*> partly;
    for (const CSourceOutcome& outcome : kept.outcomes) {
        if (!bothEndsThere) {
            if (outcome.files) partly.push_back(&outcome);
            continue;
        }
        switch (outcome.moved) {
        case Moved::NameStoodBefore: stood.push_back(outcome.source); break;
        case Moved::NotWhole: notWhole.push_back(SourceLine(outcome, IDS_TRANSFER_INCOMPLETE_COPY)); break;
        case Moved::Partly: partly.push_back(&outcome); break;
        case Moved::Changed: changed.push_back(SourceLine(outcome, IDS_TRANSFER_CHANGED_COPY)); break;
        case Moved::Undeleted: undeleted.push_back(outcome.source); break;
        case Moved::Gone: gone.push_back(SourceLine(outcome, IDS_TRANSFER_GONE_COPY)); break;
        case Moved::All:
        case Moved::Missing: break;
        }
    }
    const std::list<std::wstring> partlyLines = PartlyMovedLines(partly, bothEndsThere);
    const std::pair<UINT, const std::list<std::wstring>*> lists[] = {
        {IDS_TRANSFER_KEPT_STOOD, &stood},        {IDS_TRANSFER_KEPT_NOT_WHOLE, &notWhole},
        {IDS_TRANSFER_KEPT_PARTLY, &partlyLines}, {IDS_TRANSFER_KEPT_GONE, &gone},
        {IDS_TRANSFER_KEPT_CHANGED, &changed},    {IDS_TRANSFER_KEPT_UNDELETED, &undeleted}};
    for (const auto& [listId, list] : lists) {
        if (list->empty()) continue;
        std::wstring text;
        FormatResString(text, listId, BoundedLines(*list, kMaxListedSources, IDS_TRANSFER_MORE_SOURCES).c_str());
        err.m_message += text;
    }
    Report(err);
}

bool CCommandExec::EjectDrive(bool& disconnected, wchar_t drive, size_t count)
{
    disconnected = false;
    // Only removable media are ejected: a fixed or network drive that holds the folder is left
    // alone, and the run goes on with the other drives.
    const UINT type = GetDriveTypeOfLetter(drive);
    if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) return false;
    if (count == 0) {
        ::CMsg& sink = m_msg ? *m_msg : static_cast<::CMsg&>(g_msg);
        if (::CMsg::ShowFormatted1(sink, IDS_DISCONNECT_DRIVE, std::wstring(1, drive),
                                   MB_YESNO | MB_SETFOREGROUND | MB_TOPMOST) != IDYES)
            return false;
    }
    try {
        bool dismounted = false;
        const bool ejected = EjectVolume(drive, dismounted, 5000, 500);
        disconnected = dismounted;
        return ejected;
    } catch (const my::CException& e) {
        // Reported, and the other drives of the run are still processed.
        if (m_msg) m_msg->ShowError(e);
        return false;
    }
}

void CCommandExec::OpenExplorer(const std::wstring& destination, const std::list<std::wstring>& sources)
{
    if (sources.empty()) return;
    const std::wstring& first = sources.front();
    const size_t separator = first.find_last_of(L"\\/");
    const std::wstring name = separator == std::wstring::npos ? first : first.substr(separator + 1);
    if (name.empty()) {
        ShellExecuteOrThrow(destination, std::wstring());
        return;
    }
    std::wstring target = destination;
    if (!target.empty() && target.back() != L'\\' && target.back() != L'/') target += L'\\';
    OpenExplorerSelect(target + name);
}

void CCommandExec::ShowResult(CRun& run, wchar_t drive, size_t count, bool copy, bool ejected, bool disconnected)
{
    const CAppResources& r = *g_appResources;
    const std::wstring verb = copy ? r.m_verbCopy.m_text : r.m_verbMove.m_text;
    const std::wstring state = ejected ? r.m_verbEject.m_text : r.m_verbDisconnect.m_text;
    const std::wstring driveText(1, drive);
    const std::wstring countText = ToWString(static_cast<unsigned long>(count));
    std::wstring title, text;
    if (count > 0 && !ejected && !disconnected) {
        FormatIndexed(title, r.m_resultTitle.m_text, {verb}, L"{", L"}");
        FormatIndexed(text, r.m_resultText.m_text, {driveText, countText, verb}, L"{", L"}");
    } else if (count > 0) {
        FormatIndexed(title, r.m_resultDriveTitle.m_text, {verb}, L"{", L"}");
        FormatIndexed(text, r.m_resultDriveText.m_text, {driveText, countText, verb, state}, L"{", L"}");
    } else if (ejected || disconnected) {
        FormatIndexed(title, r.m_driveTitle.m_text, {state}, L"{", L"}");
        FormatIndexed(text, r.m_driveText.m_text, {driveText, state}, L"{", L"}");
    }
    if (text.empty()) return;
    if (run.balloonText.empty())
        run.balloonTitle = title;
    else
        run.balloonText += L"\n";
    run.balloonText += text;
}

void CCommandExec::ShowResults(const CRun& run)
{
    if (!run.balloonText.empty() && g_mainFrame) g_mainFrame->ShowBalloon(run.balloonTitle, run.balloonText);
}

} // namespace fhw
