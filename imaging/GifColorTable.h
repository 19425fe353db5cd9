#pragma once
// GIF frames without colours: neither the file's global colour table nor a local one of their own.
#include <objidl.h>

#include <windows.h>

#include <climits>

// Sets `frame` to the index of the first frame of the GIF in `stream`, among its first `frames`,
// that has no colour table; to -1 when the stream holds no GIF, every frame looked at has colours,
// or the blocks end or stop making sense before. Fails with the stream's error, `frame` -1, when
// the stream cannot be read that far (STG_E_READFAULT for a read that gives no bytes short of its
// end) or cannot be put back: there is no answer then, while the codecs' own reads may succeed.
// The stream is read from its start, as the codecs read it, 64 KB a read: the last read is the one
// that reaches the last frame's image descriptor looked at (or the byte the walk stops at before),
// so up to 64 KB beyond it, never past the stream's end. The stream is left where it was.
HRESULT FirstGifFrameWithoutColorTable(IStream* stream, int& frame, int frames = INT_MAX);
