#include "app/CommandExec.h"

#include "app/AppResources.h"
#include "app/ConfirmDlg.h"
#include "app/CopyThenDelete.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "app/OutcomeMessage.h"
#include "app/RunJudgement.h"
#include "app/Setting.h"
#include "app/SourceVolume.h"
#include "app/TransferManifest.h"
#include "app/TransferOutcome.h"
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
#include "ui/MessageBoxMeasure.h"
#include "ui/Msg.h"

#include <algorithm>
#include <boost/regex.hpp>
#include <optional>
#include <shlwapi.h>

namespace fhw {

namespace {

// Names shown in the message of a pattern too complex for some of them.
constexpr size_t kMaxListedSources = 10;

// What every box of a run asks for besides its own type.
constexpr UINT kComeForward = MB_SETFOREGROUND | MB_TOPMOST;

// Held while a question or box of a run is open: the user reads it, not the tray's balloon, so the
// results stand, and the next is joined with them, until it closes.
[[nodiscard]] auto QuestionOpen()
{
    boost::shared_ptr<CShellNotifyIcon> icon;
    if (g_mainFrame) icon = g_mainFrame->m_trayIcon;
    if (icon) icon->QuestionOpened();
    return ScopeExit([icon] {
        if (icon) icon->QuestionClosed();
    });
}

// Every box of a run comes forward, and holds the tray's results while it is open.
class CRunMsg : public ::CMsgWithType {
public:
    explicit CRunMsg(::CMsg& inner) : CMsgWithType(inner, kComeForward) {}
    int Show(const std::wstring& text, UINT type) override
    {
        const auto question = QuestionOpen();
        return CMsgWithType::Show(text, type);
    }
};

} // namespace

void CCommandExec::Execute(bool doIt, bool rethrow)
{
    // A run never starts inside another one's dialogs, also not inside the box that shows the
    // failure it ended with: the frame keeps the drives that came meanwhile pending until then.
    if (!doIt || m_running) return;
    m_running = true;
    // A run started by an arrival asks from a hidden program, which Windows refuses the foreground:
    // its boxes would open behind the window the user works in. So every box of a run, the failure
    // it ends with among them, asks for the foreground and to stay on top.
    ::CMsg* const sink = m_msg;
    std::optional<CRunMsg> forward;
    if (sink) m_msg = &forward.emplace(*sink);
    const auto done = ScopeExit([this, sink] {
        m_running = false;
        m_msg = sink;
    });
    CCommand::Execute(doIt, rethrow);
}

void CCommandExec::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    // Tells a debugger that a run begins (the benchmarks time the run from here).
    ::OutputDebugStringW(L"fernhollow-run");
    const bool reportIfNone = m_reportIfNone;
    // The timer's run neither arms nor reports; Start, "/start" and Run are the user's.
    CRun run{m_driveMask, m_arm, !m_arm && !reportIfNone};
    m_found = false;
    // Handed back also when a failure ends the run: the cards it took up before are done.
    const auto handBack = ScopeExit([&] { m_takenUp = run.notes.Volumes(); });
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
    OwedRuns owed;
    if (g_mainFrame) owed = g_mainFrame->TakePendingDrives(run.arm);
    // A run the user starts examines every card whole.
    if (run.arrival) run.owed = std::move(owed);
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
                                       std::list<std::wstring>& tooComplex, bool* unreadable)
{
    std::list<std::wstring> entries, names, failed;
    const bool listed = ListFolderNames(entries, folder);
    if (unreadable) *unreadable = !listed;
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

bool GainedSources(const std::wstring& folder, const std::wstring& pattern, const std::list<std::wstring>& listed)
{
    std::list<std::wstring> tooComplex;
    bool unreadable = false;
    const std::list<std::wstring> sources = CollectSources(folder, pattern, tooComplex, &unreadable);
    if (unreadable) return true;
    for (const std::wstring& source : sources) {
        if (std::find(listed.begin(), listed.end(), source) == listed.end()) return true;
    }
    return false;
}

void CCommandExec::ExecuteFolder(CRun& run, const std::wstring& path, const CExecSetting& setting)
{
    const wchar_t letter = path.size() > 1 && path[1] == L':' ? path[0] : L'\0';
    const UINT type = letter ? GetDriveTypeOfLetter(letter) : DRIVE_UNKNOWN;
    const bool there = !path.empty() && ::PathFileExistsW(path.c_str());
    // The volume is noted as the sources are listed: they are moved from that volume only. The run
    // hands it back when it ends, so that an arrival of this drive, told meanwhile or late, does not
    // take it up again, unless the card went since.
    const std::optional<CLetterVolume> noted = run.notes.Listed(letter, type, there);
    if (!there) return;
    const CSourceVolume volume{path, noted.value_or(CLetterVolume{})};
    run.found = true;
    const wchar_t drive = path[0];
    std::list<std::wstring> tooComplex;
    bool unreadable = false;
    std::list<std::wstring> sources = CollectSources(path, setting.SrcFname, tooComplex, &unreadable);
    // What the folder holds is not known: the drive is left as it is, without eject and without
    // the question whether to disconnect it, which is asked of a folder known to hold no match.
    if (unreadable) {
        Report(my::CException(IDS_SOURCE_FOLDER_UNREADABLE, path));
        return;
    }
    if (!tooComplex.empty())
        Report(my::CException(IDS_PATTERN_TOO_COMPLEX, ListFirstLines(tooComplex, kMaxListedSources)));
    // Back under an earlier run's question with sources its list lacked, the card brings only those.
    const std::list<std::wstring> listed = sources;
    if (LeaveOutOwed(run.owed, volume.volume, sources) && sources.empty()) return;

    CConfirmDlg dialog;
    dialog.SetSetting(setting);
    dialog.m_operator.m_sink.m_msg = m_msg ? m_msg : dialog.m_operator.m_sink.m_msg;
    const size_t count = sources.size();
    if (count > 0) {
        dialog.m_operator.m_from = sources;
        bool ok = true;
        if (setting.GetConfirm()) {
            const auto question = QuestionOpen();
            ok = dialog.DoModal(::GetActiveWindow()) == IDOK;
        }
        // Pulled, or another card put in, while the question was open: nothing of the list is on it.
        if (!volume.IsThere()) {
            run.notes.Gone();
            if (!ok) return;
            CTransferOutcome outcome;
            for (const std::wstring& source : sources) outcome.sources.push_back({source});
            outcome.sourceGone = true;
            ReportOutcome(IDS_TRANSFER_DRIVE_REMOVED, drive, dialog.m_operator.m_wFunc == FO_COPY, outcome);
            return;
        }
        // The card the question was about, whatever the answer; one that came back under it with a
        // source the list lacks, or whose folder cannot be listed now, owes a run of only such
        // sources, which tells a folder it cannot list.
        if (noted)
            run.notes.Answered(GainedSources(path, setting.SrcFname, listed) ? listed : std::list<std::wstring>());
        if (!ok) return;
        // A destination that is missing would make the shell rename the first source to it.
        if (!::PathIsDirectoryW(setting.DstFolder.c_str())) files::CreateFolderOrThrow(setting.DstFolder);
        // Every entry is judged file by file: a pulled card leaves no source to look at.
        CTransferManifest manifest;
        manifest.Take(sources, true, setting.DstFolder);
        CTransferOutcome outcome;
        CFileOperationResult result;
        if (NeedsCopyThenDelete(dialog.m_operator)) {
            result = MoveByCopyThenDelete(dialog.m_operator, manifest, volume, outcome);
        } else {
            result = dialog.m_operator.Execute();
            JudgeShellOperation(manifest, dialog.m_operator.m_to, dialog.m_operator.m_wFunc == FO_MOVE, volume,
                                outcome);
        }
        const bool arrived = CheckArrival(result, volume, dialog.m_operator, outcome);
        if (outcome.sourceGone) run.notes.Gone();
        if (!arrived) return;
    }

    const CExecSetting& chosen = dialog.m_setting;
    bool ejected = false, disconnected = false;
    // A card that came back under the question with more is ejected with the run it owes, not before.
    if (chosen.GetEject() && !run.notes.OwesRun()) ejected = EjectDrive(disconnected, drive, count);
    if (chosen.GetShowExplorer() && count > 0) OpenExplorer(dialog.m_operator.m_to, dialog.m_operator.m_from);
    ShowResult(run, drive, count, dialog.m_operator.m_wFunc == FO_COPY, ejected, disconnected);
}

bool CCommandExec::CheckArrival(const CFileOperationResult& result, const CSourceVolume& volume,
                                const CSHFileOperator& op, CTransferOutcome& outcome)
{
    // Only the drive's own going is a removal: what another hand took from a drive that is still
    // there is told as such, beside the rest.
    const CRunEnds ends = CRunEnds::Of(volume, op.m_to);
    outcome.sourceGone = !ends.source;
    outcome.destinationGone = !ends.destination;
    // A cancel is the user's only while both ends are there: a vanished drive makes the shell
    // answer "cancelled" as well.
    outcome.cancelled = ends.Both() && result.GetOutcome() == CFileOperationResult::Cancelled;
    if (outcome.Whole()) return true;
    UINT id = IDS_TRANSFER_INCOMPLETE;
    if (outcome.sourceGone)
        id = outcome.destinationGone ? IDS_TRANSFER_BOTH_REMOVED : IDS_TRANSFER_DRIVE_REMOVED;
    else if (outcome.destinationGone)
        id = IDS_TRANSFER_DESTINATION_REMOVED;
    else if (outcome.cancelled)
        id = IDS_TRANSFER_CANCELLED_PART;
    else if (result.m_error.HasError() && !outcome.HasListed())
        return false; // the operator has shown its own failure
    ReportOutcome(id, volume.path[0], op.m_wFunc == FO_COPY, outcome);
    return false;
}

void CCommandExec::ReportOutcome(UINT id, wchar_t drive, bool copy, const CTransferOutcome& outcome)
{
    const CAppResources& r = *g_appResources;
    CSimpleErr err;
    err.m_id = id;
    // Measured in a box like the one the sink will show: same owner, so the same monitor and scale.
    const auto* forward = dynamic_cast<const ::CMsgWithType*>(m_msg);
    const auto* box = dynamic_cast<const ::CMessageBoxMsg*>(forward ? &forward->Inner() : m_msg);
    const CMessageBoxLayout layout = CMessageBoxLayout::Of(box ? box->Owner() : ::GetActiveWindow(), MB_ICONERROR);
    const CMessageMeasure measure(layout, OutcomeMessageBound(layout.workArea, layout.dpi));
    err.m_message = ComposeOutcomeMessage(id, drive, copy ? r.m_verbCopy.m_text : r.m_verbMove.m_text, outcome,
                                          measure);
    Report(err);
}

void CCommandExec::Report(const CSimpleErr& err)
{
    if (m_msg) m_msg->ShowError(err);
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
        if (::CMsg::ShowFormatted1(sink, IDS_DISCONNECT_DRIVE, std::wstring(1, drive), MB_YESNO | kComeForward) !=
            IDYES)
            return false;
    }
    try {
        bool dismounted = false;
        const bool ejected = EjectVolumeAt(drive, dismounted);
        disconnected = dismounted;
        return ejected;
    } catch (const my::CException& e) {
        // Reported, and the other drives of the run are still processed.
        if (m_msg) m_msg->ShowError(e);
        return false;
    }
}

bool CCommandExec::EjectVolumeAt(wchar_t drive, bool& dismounted) { return EjectVolume(drive, dismounted, 5000, 500); }

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
