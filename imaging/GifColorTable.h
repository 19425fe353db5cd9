#pragma once
// GIF frames without colours: neither the file's global colour table nor a local one of their own.
#include <objidl.h>

#include <windows.h>

#include <climits>

// The index of the first frame of the GIF in `stream`, among its first `frames`, that has no
// colour table; -1 when the stream holds no GIF, every frame looked at has colours, or the blocks
// cannot be walked any further. The stream is read from its start, as the codecs read it, no
// further than the last frame's image descriptor looked at, and left where it was.
int FirstGifFrameWithoutColorTable(IStream* stream, int frames = INT_MAX);
