#pragma once
// The process-wide WIC imaging factory: created once at start-up, released at teardown.
#include <windows.h>

#include <wincodec.h>

#include <vector>

// Read directly or through GetImagingFactory; nobody keeps a reference of their own.
extern IWICImagingFactory* g_wicFactory;

void CreateImagingFactory();
void ReleaseImagingFactory() noexcept;
// Run at process exit: releases the factory only while COM is initialised on this thread.
void ReleaseImagingFactoryAtExit() noexcept;
inline IWICImagingFactory* GetImagingFactory() noexcept { return g_wicFactory; }

// Keeps the factory for the life of a scope (start-up holds one on its stack).
class CImagingFactoryHolder {
public:
    CImagingFactoryHolder() { CreateImagingFactory(); }
    ~CImagingFactoryHolder() { ReleaseImagingFactory(); }
    CImagingFactoryHolder(const CImagingFactoryHolder&) = delete;
    CImagingFactoryHolder& operator=(const CImagingFactoryHolder&) = delete;
};

// A WIC colour context over the profile's bytes; `out` receives a reference of its own.
void CreateWicColorContext(IWICColorContext*& out, const std::vector<BYTE>& profile);
