#pragma once
// What a run does: which folder, which names, where to, and four options.
#include <windows.h>

#include <string>

namespace fhw {

class CExecSetting {
public:
    enum : DWORD { FlagCopy = 1, FlagConfirm = 2, FlagEject = 4, FlagShowExplorer = 8 };
    static constexpr DWORD kDefaultFlags = FlagConfirm | FlagEject | FlagShowExplorer;

    CExecSetting();

    bool GetCopy() const { return (Flags & FlagCopy) != 0; }
    void SetCopy(bool on) { SetFlag(FlagCopy, on); }
    bool GetConfirm() const { return (Flags & FlagConfirm) != 0; }
    void SetConfirm(bool on) { SetFlag(FlagConfirm, on); }
    bool GetEject() const { return (Flags & FlagEject) != 0; }
    void SetEject(bool on) { SetFlag(FlagEject, on); }
    bool GetShowExplorer() const { return (Flags & FlagShowExplorer) != 0; }
    void SetShowExplorer(bool on) { SetFlag(FlagShowExplorer, on); }

    const std::wstring& GetSrcFolder() const { return SrcFolder; }
    void SetSrcFolder(const std::wstring& text) { SrcFolder = text; }
    const std::wstring& GetSrcFname() const { return SrcFname; }
    void SetSrcFname(const std::wstring& text) { SrcFname = text; }
    const std::wstring& GetDstFolder() const { return DstFolder; }
    void SetDstFolder(const std::wstring& text) { DstFolder = text; }

    bool operator==(const CExecSetting& other) const = default;

    DWORD Flags = kDefaultFlags;
    std::wstring SrcFolder;
    std::wstring SrcFname;
    std::wstring DstFolder;

private:
    void SetFlag(DWORD flag, bool on) { Flags = on ? (Flags | flag) : (Flags & ~flag); }
};

} // namespace fhw
