// Handing out the records of the applet-facing interface (TavroNet.h), which
// begin with their size: a caller that knows an older, shorter record sets
// that size and gets as much as fits. Shared by both driver libraries.
#ifndef COMMON_SIZEDRECORDS_H
#define COMMON_SIZEDRECORDS_H

#include <string.h>

#include <vector>

// The answers, as Windows' ERROR_SUCCESS and ERROR_INVALID_PARAMETER.
const unsigned long kRecordSuccess = 0;
const unsigned long kRecordInvalidParameter = 87;

// The caller's record is at least its size field long.
template <typename Record>
bool SizeUsable(const Record* record) {
    return record && record->size >= sizeof record->size;
}

// Copies what fits of `full` into the caller's record, whose size stays as
// the caller set it.
template <typename Record>
unsigned long CopySized(Record* out, const Record& full) {
    if (!SizeUsable(out)) return kRecordInvalidParameter;
    const unsigned long size = out->size;
    memcpy(out, &full, size < sizeof full ? size : sizeof full);
    out->size = size;
    return kRecordSuccess;
}

// Fills an array the caller sized by its first element, up to `capacity`
// records; `count` is how many there are, whether or not all fitted.
template <typename Record>
unsigned long FillArray(const std::vector<Record>& records, Record* out, unsigned long capacity, unsigned long* count) {
    if (!count || (capacity > 0 && !SizeUsable(out))) return kRecordInvalidParameter;
    const unsigned long stride = capacity > 0 ? out->size : 0;
    unsigned char* at = reinterpret_cast<unsigned char*>(out);
    for (unsigned long i = 0; i < capacity && i < records.size(); ++i, at += stride) {
        memcpy(at, &records[i], stride < sizeof(Record) ? stride : sizeof(Record));
        memcpy(at, &stride, sizeof stride);
    }
    *count = static_cast<unsigned long>(records.size());
    return kRecordSuccess;
}

#endif
