#include "app/CommandExec.h"

#include "app/AppResources.h"
#include "app/ConfirmDlg.h"
#include "app/CopyThenDelete.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "app/Setting.h"
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
#include "shell/LetterVolumes.h"
#include "shell/ShellExecute.h"
#include "shell/VolumeEject.h"
#include "ui/Msg.h"

#include <boost/regex.hpp>
#include <shlwapi.h>

namespace fhw {

namespace {

// Sources named in one message, and files named of one source; the count says how many there were.
constexpr size_t kMaxListedSources = 10;

// Each partly moved source with where the files that left it are, then the files that stayed and why.
std::list<std::wstring> PartlyMovedLines(const std::list<CPartlyMoved>& partly)
{
    std::list<std::wstring> lines;
    for (const CPartlyMoved& item : partly) {
        std::wstring line = item.source;
        if (!item.copy.empty())
            FormatResString(line, IDS_TRANSFER_PARTLY_MOVED, item.source.c_str(), item.copy.c_str());
        std::list<std::wstring> stayed;
        for (const CTransferManifest::CStayedFile& file : item.stayed) {
            stayed.emplace_back();
            FormatResString(stayed.back(),
                            file.why == VerifiedDelete::Differs ? IDS_TRANSFER_STAYED_DIFFERS
                                                                : IDS_TRANSFER_STAYED_UNDELETED,
                            file.path.c_str());
        }
        if (!stayed.empty()) line += L"\n" + ListFirstLines(stayed, kMaxListedSources);
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
    // Noted before anything else: the catch-up after the run must not take this volume up again.
    if (g_mainFrame && path.size() > 1 && path[1] == L':') g_mainFrame->NoteExaminedVolume(VolumeAtLetter(path[0]));
    if (path.empty() || !::PathFileExistsW(path.c_str())) return;
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
        // A destination that is missing would make the shell rename the first source to it.
        if (!::PathIsDirectoryW(setting.DstFolder.c_str())) files::CreateFolderOrThrow(setting.DstFolder);
        // Every entry is judged file by file: a pulled card leaves no source to look at.
        CTransferManifest manifest;
        manifest.Take(sources, true, setting.DstFolder);
        CKeptSources kept;
        const CFileOperationResult result = NeedsCopyThenDelete(dialog.m_operator)
                                                ? MoveByCopyThenDelete(dialog.m_operator, manifest, kept)
                                                : dialog.m_operator.Execute();
        if (!CheckArrival(result, manifest, path, dialog.m_operator, kept)) return;
    }

    const CExecSetting& chosen = dialog.m_setting;
    bool ejected = false, disconnected = false;
    if (chosen.GetEject()) ejected = EjectDrive(disconnected, drive, count);
    if (chosen.GetShowExplorer() && count > 0) OpenExplorer(dialog.m_operator.m_to, dialog.m_operator.m_from);
    ShowResult(run, drive, count, dialog.m_operator.m_wFunc == FO_COPY, ejected, disconnected);
}

bool CCommandExec::CheckArrival(const CFileOperationResult& result, const CTransferManifest& manifest,
                                const std::wstring& path, const CSHFileOperator& op, const CKeptSources& kept)
{
    const bool copy = op.m_wFunc == FO_COPY;
    const size_t count = op.m_from.size();
    const size_t arrived = manifest.CountArrived(op.m_to, !copy);
    // A source that went from a drive still there, but not through the program's deletes, went
    // with its card as far as the user can tell (a folder moved away, an unmounted card).
    const bool sourceThere = IsDriveOfPathPresent(path) && kept.vanished.empty();
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
    // Which sources stayed is known only while both ends are there; a failed delete is always told.
    CKeptSources shown;
    if (sourceThere && destinationThere) shown = kept;
    shown.undeleted = kept.undeleted;
    ReportIncomplete(id, path[0], copy, count, arrived, shown);
    return false;
}

void CCommandExec::Report(const CSimpleErr& err)
{
    if (m_msg) m_msg->ShowError(err);
}

void CCommandExec::ReportIncomplete(UINT id, wchar_t drive, bool copy, size_t count, size_t arrived,
                                    const CKeptSources& kept)
{
    const CAppResources& r = *g_appResources;
    const std::wstring driveText(1, drive);
    const std::wstring verb = copy ? r.m_verbCopy.m_text : r.m_verbMove.m_text;
    const std::wstring countText = ToWString(static_cast<unsigned long>(count));
    std::wstring arrivedText = ToWString(static_cast<unsigned long>(arrived));
    // A source of which files left the card did arrive in part: the count must not say that nothing did.
    if (kept.partlyArrived)
        FormatResString(arrivedText, IDS_TRANSFER_ARRIVED_WITH_PART, std::wstring(arrivedText).c_str(),
                        ToWString(static_cast<unsigned long>(kept.partlyArrived)).c_str());
    CSimpleErr err;
    err.Set(id, &driveText, &verb, &countText, &arrivedText);
    // A copy that did not arrive whole is named beside its source, so that the user can remove it.
    std::list<std::wstring> notWhole;
    for (const CIncompleteCopy& item : kept.notWhole) {
        notWhole.push_back(item.source);
        if (!item.copy.empty())
            FormatResString(notWhole.back(), IDS_TRANSFER_INCOMPLETE_COPY, item.source.c_str(), item.copy.c_str());
    }
    const std::list<std::wstring> partly = PartlyMovedLines(kept.partly);
    const std::pair<UINT, const std::list<std::wstring>*> lists[] = {{IDS_TRANSFER_KEPT_STOOD, &kept.stood},
                                                                     {IDS_TRANSFER_KEPT_NOT_WHOLE, &notWhole},
                                                                     {IDS_TRANSFER_KEPT_PARTLY, &partly},
                                                                     {IDS_TRANSFER_KEPT_CHANGED, &kept.changed},
                                                                     {IDS_TRANSFER_KEPT_UNDELETED, &kept.undeleted}};
    for (const auto& [listId, list] : lists) {
        if (list->empty()) continue;
        std::wstring text;
        FormatResString(text, listId, ListFirstLines(*list, kMaxListedSources).c_str());
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
