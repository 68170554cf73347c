// Any bytes as a macro file and as an index: no crash and no read past the data;
// an accepted macro file round-trips.
#include "macro/macro_files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)DecodeMacroIndex(bytes);
    MacroSnapshot macro;
    if (!DecodeMacroFile(bytes, macro))
        return 0;
    MacroSnapshot again;
    if (!DecodeMacroFile(EncodeMacroFile(macro), again) || !(again == macro))
        std::abort();
    return 0;
}
