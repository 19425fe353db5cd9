#include "app/TransferOutcome.h"

#include <algorithm>

namespace fhw {

using Moved = CTransferManifest::Moved;

bool CSourceOutcome::CountsArrived() const
{
    return moved == Moved::All || moved == Moved::Unconfirmed ||
           ((moved == Moved::Gone || moved == Moved::Removed) && whole);
}

size_t CTransferOutcome::Arrived() const
{
    return static_cast<size_t>(
        std::count_if(sources.begin(), sources.end(), [](const CSourceOutcome& s) { return s.CountsArrived(); }));
}

size_t CTransferOutcome::Partly() const
{
    return static_cast<size_t>(
        std::count_if(sources.begin(), sources.end(), [](const CSourceOutcome& s) { return s.CountsPartly(); }));
}

bool CTransferOutcome::Whole() const
{
    return !sourceGone && !destinationGone && !cancelled && Arrived() == sources.size() && !HasListed();
}

bool CTransferOutcome::HasListed() const
{
    return std::any_of(sources.begin(), sources.end(), [](const CSourceOutcome& s) { return IsListed(s.moved); });
}

bool IsListed(Moved moved)
{
    switch (moved) {
    case Moved::NameStoodBefore:
    case Moved::NotWhole:
    case Moved::NotCopied:
    case Moved::Partly:
    case Moved::Changed:
    case Moved::CopyChanged:
    case Moved::Differs:
    case Moved::Uncompared:
    case Moved::Undeleted:
    case Moved::Unverified:
    case Moved::Gone:
    case Moved::Unconfirmed: return true;
    case Moved::All:
    case Moved::Missing:
    case Moved::NotArrived:
    case Moved::Removed: break;
    }
    return false;
}

} // namespace fhw
