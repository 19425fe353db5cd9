#pragma once
// GIF frames without colours: neither the file's global colour table nor a local one of their own.
#include <objidl.h>

#include <windows.h>

// The index of the first frame of the GIF in `stream` that has no colour table; -1 when the
// stream holds no GIF, every frame has colours, or the blocks cannot be walked any further. The
// stream is read from its start, as the codecs read it, and left where it was.
int FirstGifFrameWithoutColorTable(IStream* stream);
