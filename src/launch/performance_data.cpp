/* Walks over the two blocks that Windows NT publishes about its processes:
 * the counter-name table of the performance library and the "Process" object
 * of the performance data. Both come from the registry as plain bytes, so the
 * walks trust nothing in them: every offset and length is checked against
 * the block's size before it is added (a sum never wraps, also in 32 bits),
 * every step moves forward by at least a record, and records are read
 * through copies since the block gives no alignment. The walks call no
 * system function, so that they can be run over any bytes at all. */
#include "launch/launch_internal.h"

#include <winperf.h>

#include <cstring>

/* Length of the text at the start of the block, never beyond its end. */
static size_t BoundedLength(const char *text, size_t available)
{
    const char *end = static_cast<const char *>(memchr(text, '\0', available));
    return end ? static_cast<size_t>(end - text) : available;
}

bool FindCounterIndex(const char *table, size_t size, const char *name, char *index, size_t capacity)
{
    size_t nameLength = strlen(name);
    size_t position = 0;
    /* Pairs of index text and name; an empty string where an index belongs
     * is the extra NUL that ends the table. */
    while (position < size && table[position]) {
        const char *indexText = table + position;
        size_t indexLength = BoundedLength(indexText, size - position);
        position += indexLength + 1;
        if (position >= size)
            break;
        const char *counterName = table + position;
        size_t counterLength = BoundedLength(counterName, size - position);
        position += counterLength + 1;
        if (counterLength == nameLength && memcmp(counterName, name, nameLength) == 0) {
            if (capacity == 0 || indexLength >= capacity)
                return false;
            memcpy(index, indexText, indexLength);
            index[indexLength] = '\0';
            return true;
        }
    }
    return false;
}

/* The offset length bytes after base, when that still lies within the block. */
static bool Advance(DWORD size, DWORD base, DWORD length, DWORD *end)
{
    if (base > size || length > size - base)
        return false;
    *end = base + length;
    return true;
}

/* A copy of the record at the offset, when all of it lies within the block. */
template <typename Record> static bool ReadRecord(const BYTE *data, DWORD size, DWORD offset, Record *record)
{
    DWORD end;
    if (!Advance(size, offset, sizeof *record, &end))
        return false;
    memcpy(record, data + offset, sizeof *record);
    return true;
}

/* Where each counter block holds the counter of the name index. */
static bool FindCounterOffset(const BYTE *data, DWORD size, DWORD objectStart, const PERF_OBJECT_TYPE &object,
                              DWORD nameIndex, DWORD *counterOffset)
{
    DWORD definition;
    if (!Advance(size, objectStart, object.HeaderLength, &definition))
        return false;
    for (DWORD i = 0; i < object.NumCounters; ++i) {
        PERF_COUNTER_DEFINITION counter;
        if (!ReadRecord(data, size, definition, &counter))
            return false;
        if (counter.CounterNameTitleIndex == nameIndex) {
            *counterOffset = counter.CounterOffset;
            return true;
        }
        if (counter.ByteLength < sizeof counter || !Advance(size, definition, counter.ByteLength, &definition))
            return false;
    }
    return false;
}

bool FindProcessInstance(const BYTE *data, DWORD size, DWORD idProcessIndex, DWORD processId, DWORD *nameOffset,
                         DWORD *nameLength)
{
    PERF_DATA_BLOCK block;
    PERF_OBJECT_TYPE object;
    if (!ReadRecord(data, size, 0, &block) || !ReadRecord(data, size, block.HeaderLength, &object))
        return false;
    DWORD objectStart = block.HeaderLength;
    DWORD counterOffset;
    if (!FindCounterOffset(data, size, objectStart, object, idProcessIndex, &counterOffset))
        return false;

    /* The last instance is left out (on NT it is the "_Total" line). */
    DWORD instanceStart;
    if (!Advance(size, objectStart, object.DefinitionLength, &instanceStart))
        return false;
    for (LONG i = 0; i + 1 < object.NumInstances; ++i) {
        PERF_INSTANCE_DEFINITION instance;
        PERF_COUNTER_BLOCK counters;
        DWORD blockStart, valueStart, id;
        if (!ReadRecord(data, size, instanceStart, &instance) || instance.ByteLength < sizeof instance ||
            !Advance(size, instanceStart, instance.ByteLength, &blockStart) ||
            !ReadRecord(data, size, blockStart, &counters) || counters.ByteLength < sizeof counters ||
            counterOffset > counters.ByteLength || sizeof id > counters.ByteLength - counterOffset ||
            !Advance(size, blockStart, counterOffset, &valueStart) || !ReadRecord(data, size, valueStart, &id))
            return false;
        if (id == processId) {
            DWORD nameStart;
            if (!Advance(size, instanceStart, instance.NameOffset, &nameStart))
                return false;
            /* UTF-16 up to its NUL, never beyond the block. */
            DWORD available = (size - nameStart) / sizeof(WCHAR);
            DWORD length = 0;
            for (WCHAR c; length < available; ++length) {
                memcpy(&c, data + nameStart + length * sizeof c, sizeof c);
                if (!c)
                    break;
            }
            *nameOffset = nameStart;
            *nameLength = length;
            return true;
        }
        if (!Advance(size, blockStart, counters.ByteLength, &instanceStart))
            return false;
    }
    return false;
}
