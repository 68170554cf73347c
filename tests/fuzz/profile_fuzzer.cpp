// Any bytes given to the profile loader: no crash, no read past the data, and
// an accepted file must save back to bytes that load to the same record.
#include "profile/profile_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ProfileRecord record;
    if (!DeserializeProfile(record, bytes))
        return 0;
    ProfileRecord again;
    if (!DeserializeProfile(again, SerializeProfile(record)) || !(again == record))
        std::abort();
    return 0;
}
