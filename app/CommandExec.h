#pragma once
// The run: for each drive of a mask, move or copy the matching entries of the source folder to
// the destination with one shell file operation, then eject, show Explorer and report.
#include "app/Command.h"
#include "app/PendingArrivals.h"
#include "app/TakeUpNotes.h"

#include <windows.h>

class CSimpleErr;
class CSHFileOperator;
struct CFileOperationResult;

#include <list>
#include <string>

namespace fhw {

class CExecSetting;
struct CSourceVolume;
struct CTransferOutcome;

class CCommandExec : public CCommand {
public:
    void Execute(bool doIt, bool rethrow) override;
    void ExecuteImpl(bool doIt) override;
    // True from the start of a run to its end, through every dialog it waits in and the box that
    // shows the failure it ended with.
    bool IsRunning() const { return m_running; }
    // The volumes that the last run took up, each with when it noted it and whether it found the card
    // gone afterwards: the drives it looked at.
    const TakenUpVolumes& TakenUp() const { return m_takenUp; }

    DWORD m_driveMask = 0xFFFFFFFF;
    bool m_arm = false;
    bool m_reportIfNone = false;
    bool m_found = false;

protected:
    // Locks, dismounts and ejects the volume at `drive`: true when it was ejected.
    virtual bool EjectVolumeAt(wchar_t drive, bool& dismounted);

private:
    // One run with its parameters copied, so that a nested run cannot change them underneath.
    struct CRun {
        DWORD driveMask;
        bool arm;
        bool arrival; // the timer's run of arrivals, which alone serves what a card owes
        bool found = false;
        CTakeUpNotes notes;
        OwedRuns owed;
        // The drives' results, one line each: a balloon replaces the one before at once, so a run
        // over several drives shows them together when it ends.
        std::wstring balloonTitle;
        std::wstring balloonText;
    };
    void Run(CRun& run);
    void ExecuteFolder(CRun& run, const std::wstring& path, const CExecSetting& setting);
    bool EjectDrive(bool& disconnected, wchar_t drive, size_t count);
    void OpenExplorer(const std::wstring& destination, const std::list<std::wstring>& sources);
    // Adds the drive's result to the run's balloon, which ShowResults shows once the run ends.
    void ShowResult(CRun& run, wchar_t drive, size_t count, bool copy, bool ejected, bool disconnected);
    void ShowResults(const CRun& run);
    // True when every entry handed to the shell arrived whole. Otherwise the user is told what
    // arrived (the shell may report success for work it skipped; a pulled card leaves work undone),
    // which end went, and what became of each source that did not go whole, and the drive gets no
    // eject, no Explorer and no balloon. Adds the ends to `outcome`.
    bool CheckArrival(const CFileOperationResult& result, const CSourceVolume& volume, const CSHFileOperator& op,
                      CTransferOutcome& outcome);
    // Message `id` of the run from drive `drive`, with what `outcome` says of its sources.
    void ReportOutcome(UINT id, wchar_t drive, bool copy, const CTransferOutcome& outcome);
    void Report(const CSimpleErr& err);

    bool m_running = false;
    TakenUpVolumes m_takenUp;
};

// Entries of `folder` whose names `pattern` finds, as full paths in natural order; `tooComplex`
// gets those whose match the regular expression engine gave up on. `unreadable`, where given, tells
// a folder that is there but could not be listed (none of its entries is known) from one that
// holds nothing.
std::list<std::wstring> CollectSources(const std::wstring& folder, const std::wstring& pattern,
                                       std::list<std::wstring>& tooComplex, bool* unreadable = nullptr);
// True when `folder` now holds a source that `listed` (CollectSources' list of it) lacks, or cannot
// be listed: what it holds is not known.
bool GainedSources(const std::wstring& folder, const std::wstring& pattern, const std::list<std::wstring>& listed);

} // namespace fhw
