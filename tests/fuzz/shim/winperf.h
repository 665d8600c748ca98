/* The performance-data records as the registry publishes them (32-bit
 * layout, as on every Windows NT), for the native stand-in build. */
#pragma once
#include <windows.h>

typedef struct {
    WCHAR Signature[4];
    DWORD LittleEndian, Version, Revision, TotalByteLength, HeaderLength, NumObjectTypes;
    LONG DefaultObject;
    SYSTEMTIME SystemTime;
    LARGE_INTEGER PerfTime, PerfFreq, PerfTime100nSec;
    DWORD SystemNameLength, SystemNameOffset;
} PERF_DATA_BLOCK;

typedef struct {
    DWORD TotalByteLength, DefinitionLength, HeaderLength, ObjectNameTitleIndex, ObjectNameTitle, ObjectHelpTitleIndex,
        ObjectHelpTitle, DetailLevel, NumCounters;
    LONG DefaultCounter, NumInstances;
    DWORD CodePage;
    LARGE_INTEGER PerfTime, PerfFreq;
} PERF_OBJECT_TYPE;

typedef struct {
    DWORD ByteLength, CounterNameTitleIndex, CounterNameTitle, CounterHelpTitleIndex, CounterHelpTitle;
    LONG DefaultScale;
    DWORD DetailLevel, CounterType, CounterSize, CounterOffset;
} PERF_COUNTER_DEFINITION;

typedef struct {
    DWORD ByteLength, ParentObjectTitleIndex, ParentObjectInstance;
    LONG UniqueID;
    DWORD NameOffset, NameLength;
} PERF_INSTANCE_DEFINITION;

typedef struct {
    DWORD ByteLength;
} PERF_COUNTER_BLOCK;
