// Host file objects: the host's handle on each stream the runtime opens, so that a host can
// find the stream behind a file number. The runtime keeps one object per file number for the
// life of the process: it re-attaches the object to each new stream of that number and detaches
// it at close.
#include "brtl/host.h"

struct ZrHostFile {
    FILE *stream;
};

extern "C" {

BRTL_API ZrHostFile *ZrFileCreate(FILE *stream) {
    auto *file = static_cast<ZrHostFile *>(ZrMalloc(sizeof(ZrHostFile)));
    if (file != nullptr) file->stream = stream;
    return file;
}

BRTL_API void ZrFileOpen(ZrHostFile *file, FILE *stream) {
    if (file != nullptr) file->stream = stream;
}

BRTL_API void ZrFileClose(ZrHostFile *file) {
    if (file != nullptr) file->stream = nullptr;
}

BRTL_API FILE *ZrFileStream(const ZrHostFile *file) {
    return file != nullptr ? file->stream : nullptr;
}

} // extern "C"
