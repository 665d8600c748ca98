// Finding the executable of a running process, and the walks over the NT
// counter-name table and performance data behind it; this program's own path
// in the ANSI code page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/core_internal.h"
#include "driver.h"
#include "launch/launch_internal.h"

#include <winperf.h>

namespace {

constexpr char Guard = '#';

TEST(ProcessImagePath, OwnProcessGivesItsFullPathUnknownIdGivesNothing)
{
    InitProcessLookup();
    char expected[MAX_PATH];
    GetModuleFileNameA(nullptr, expected, sizeof expected);
    char path[IMAGE_PATH_CAPACITY];
    ASSERT_EQ(GetProcessImagePath(GetCurrentProcessId(), path, sizeof path), 1);
    EXPECT_EQ(lstrcmpiA(path, expected), 0) << path;

    strcpy(path, "stale");
    EXPECT_EQ(GetProcessImagePath(0xFFFFFFFC, path, sizeof path), 0);
    EXPECT_STREQ(path, "");
}

TEST(ProcessImagePath, SnapshotFindsOwnProcessByItsFullPath)
{
    ASSERT_TRUE(InitProcessLookup());
    char expected[MAX_PATH];
    GetModuleFileNameA(nullptr, expected, sizeof expected);
    char path[IMAGE_PATH_CAPACITY];
    // The process list names it by file name alone here; its first module gives the folder.
    ASSERT_EQ(ProcessPathFromSnapshot(GetCurrentProcessId(), path, sizeof path), 1);
    EXPECT_EQ(lstrcmpiA(path, expected), 0) << path;
    EXPECT_EQ(ProcessPathFromSnapshot(0xFFFFFFFC, path, sizeof path), 0);
}

TEST(ProcessImagePath, PathThatDoesNotFitIsNotGiven)
{
    InitProcessLookup();
    char path[8 + 4];
    memset(path, Guard, sizeof path);
    EXPECT_EQ(ProcessPathFromProcess(GetCurrentProcessId(), path, 8), 0);
    for (size_t i = 8; i < sizeof path; ++i)
        EXPECT_EQ(path[i], Guard) << "wrote past the capacity";
}

// ---- counter-name table --------------------------------------------------------

std::string Table(const std::vector<std::pair<const char *, const char *>> &pairs, bool closed = true)
{
    std::string table;
    for (const auto &pair : pairs) {
        table += pair.first;
        table += '\0';
        table += pair.second;
        table += '\0';
    }
    if (closed)
        table += '\0';
    return table;
}

TEST(CounterIndex, FindsExactNamesOnly)
{
    std::string table = Table({{"1", "1847"}, {"2", "System"}, {"230", "Process"}, {"784", "ID Process"}});
    const struct {
        const char *name;
        const char *index; // null: not found
    } cases[] = {
        {"Process", "230"}, {"ID Process", "784"}, {"System", "2"},  {"1847", "1"}, {"process", nullptr},
        {"ID", nullptr},    {"Process ", nullptr}, {"230", nullptr}, {"", nullptr},
    };
    for (const auto &c : cases) {
        char index[16] = "";
        bool found = FindCounterIndex(table.data(), table.size(), c.name, index, sizeof index);
        EXPECT_EQ(found, c.index != nullptr) << c.name;
        if (c.index)
            EXPECT_STREQ(index, c.index) << c.name;
    }
}

TEST(CounterIndex, StopsAtTheEndOfTheBlock)
{
    // A table cut in the middle of the wanted name, with no NUL after it.
    std::string table = Table({{"2", "System"}, {"230", "Process"}}, false);
    std::vector<char> block(table.begin(), table.end() - 3);
    char index[16];
    EXPECT_FALSE(FindCounterIndex(block.data(), block.size(), "Process", index, sizeof index));
    EXPECT_FALSE(FindCounterIndex(block.data(), 0, "System", index, sizeof index));
    // An index text too long for the buffer is not cut into a wrong number.
    std::string wide = Table({{"123456789012345678", "Process"}});
    EXPECT_FALSE(FindCounterIndex(wide.data(), wide.size(), "Process", index, sizeof index));
}

// ---- performance data ----------------------------------------------------------

constexpr DWORD IdProcessIndex = 784;

struct Instance {
    const wchar_t *name;
    DWORD pid;
};

template <typename T> void Append(std::vector<BYTE> &out, const T &value)
{
    const BYTE *bytes = reinterpret_cast<const BYTE *>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

// A "Process" object as NT lays it out: two counters (the second one is
// "ID Process", at offset 8 of each counter block) and the instances.
std::vector<BYTE> ProcessObject(const std::vector<Instance> &instances, DWORD idCounterIndex = IdProcessIndex)
{
    std::vector<BYTE> out;
    PERF_DATA_BLOCK block = {};
    block.HeaderLength = sizeof block;
    block.NumObjectTypes = 1;
    Append(out, block);

    PERF_OBJECT_TYPE object = {};
    object.HeaderLength = sizeof object;
    object.DefinitionLength = sizeof object + 2 * sizeof(PERF_COUNTER_DEFINITION);
    object.NumCounters = 2;
    object.NumInstances = static_cast<LONG>(instances.size());
    Append(out, object);

    PERF_COUNTER_DEFINITION counter = {};
    counter.ByteLength = sizeof counter;
    counter.CounterNameTitleIndex = 6;
    counter.CounterOffset = 4;
    Append(out, counter);
    counter.CounterNameTitleIndex = idCounterIndex;
    counter.CounterOffset = 8;
    Append(out, counter);

    for (const Instance &instance : instances) {
        DWORD nameBytes = static_cast<DWORD>((wcslen(instance.name) + 1) * sizeof(WCHAR));
        DWORD padded = (nameBytes + 7) & ~7u;
        PERF_INSTANCE_DEFINITION definition = {};
        definition.ByteLength = sizeof definition + padded;
        definition.NameOffset = sizeof definition;
        definition.NameLength = nameBytes;
        Append(out, definition);
        const BYTE *name = reinterpret_cast<const BYTE *>(instance.name);
        out.insert(out.end(), name, name + nameBytes);
        out.insert(out.end(), padded - nameBytes, 0);
        DWORD counters[4] = {16, 1234, instance.pid, 0}; // PERF_COUNTER_BLOCK, then values
        Append(out, counters);
    }
    return out;
}

std::string InstanceName(const std::vector<BYTE> &data, DWORD pid, size_t size, DWORD idIndex = IdProcessIndex)
{
    char name[IMAGE_PATH_CAPACITY];
    if (!FindPerformanceInstanceName(data.data(), size, idIndex, pid, name, sizeof name))
        return "(none)";
    return name;
}

TEST(PerformanceData, FindsTheInstanceOfTheProcessButNeverTheLastOne)
{
    std::vector<BYTE> data =
        ProcessObject({{L"Idle", 0}, {L"System", 2}, {L"notepad", 148}, {L"explorer", 60}, {L"_Total", 0}});
    EXPECT_EQ(InstanceName(data, 148, data.size()), "notepad");
    EXPECT_EQ(InstanceName(data, 60, data.size()), "explorer");
    EXPECT_EQ(InstanceName(data, 0, data.size()), "Idle");
    EXPECT_EQ(InstanceName(data, 999, data.size()), "(none)");
    EXPECT_EQ(InstanceName(data, 148, data.size(), 785), "(none)") << "no \"ID Process\" counter";

    std::vector<BYTE> lastOne = ProcessObject({{L"System", 2}, {L"notepad", 148}});
    EXPECT_EQ(InstanceName(lastOne, 148, lastOne.size()), "(none)");
    std::vector<BYTE> single = ProcessObject({{L"notepad", 148}});
    EXPECT_EQ(InstanceName(single, 148, single.size()), "(none)");
    std::vector<BYTE> none = ProcessObject({});
    EXPECT_EQ(InstanceName(none, 148, none.size()), "(none)");

    // The system gives the block no alignment: records are read where they lie.
    std::vector<BYTE> odd(data.size() + 1);
    memcpy(odd.data() + 1, data.data(), data.size());
    char name[IMAGE_PATH_CAPACITY];
    ASSERT_EQ(FindPerformanceInstanceName(odd.data() + 1, data.size(), IdProcessIndex, 60, name, sizeof name), 1);
    EXPECT_STREQ(name, "explorer");
}

TEST(PerformanceData, CutOrBrokenBlocksAreReadWithinTheirSize)
{
    std::vector<BYTE> data = ProcessObject({{L"System", 2}, {L"notepad", 148}, {L"_Total", 0}});
    for (size_t size = 0; size < data.size(); ++size) {
        // Each cut copy lies at the end of its own allocation.
        std::vector<BYTE> cut(data.begin(), data.begin() + size);
        std::string name = InstanceName(cut, 148, cut.size());
        EXPECT_TRUE(name == "(none)" || std::string("notepad").rfind(name, 0) == 0) << size << ": " << name;
    }

    // An instance whose length is zero would loop for ever.
    std::vector<BYTE> broken = data;
    size_t firstInstance = sizeof(PERF_DATA_BLOCK) + sizeof(PERF_OBJECT_TYPE) + 2 * sizeof(PERF_COUNTER_DEFINITION);
    reinterpret_cast<PERF_INSTANCE_DEFINITION *>(broken.data() + firstInstance)->ByteLength = 0;
    EXPECT_EQ(InstanceName(broken, 148, broken.size()), "(none)");
    // A name offset far outside the block.
    broken = data;
    reinterpret_cast<PERF_INSTANCE_DEFINITION *>(broken.data() + firstInstance)->NameOffset = 0x7FFFFFF0;
    EXPECT_EQ(InstanceName(broken, 2, broken.size()), "(none)");
    // Lengths that wrap around 32 bits: back to the block's start (whose zeros
    // would read as process 0 and name "System"), and back onto the instance
    // itself, which a count of 2^31 instances would then walk for ever.
    broken = data;
    auto *first = reinterpret_cast<PERF_INSTANCE_DEFINITION *>(broken.data() + firstInstance);
    DWORD firstLength = first->ByteLength;
    first->ByteLength = 0u - static_cast<DWORD>(firstInstance);
    EXPECT_EQ(InstanceName(broken, 0, broken.size()), "(none)");
    broken = data;
    *reinterpret_cast<DWORD *>(broken.data() + firstInstance + firstLength) = 0u - firstLength;
    (reinterpret_cast<PERF_OBJECT_TYPE *>(broken.data() + sizeof(PERF_DATA_BLOCK)))->NumInstances = 0x7FFFFFFF;
    EXPECT_EQ(InstanceName(broken, 148, broken.size()), "(none)");

    char small[4 + 4];
    memset(small, Guard, sizeof small);
    EXPECT_EQ(FindPerformanceInstanceName(data.data(), data.size(), IdProcessIndex, 148, small, 4), 1);
    EXPECT_STREQ(small, "not");
    EXPECT_EQ(small[4], Guard);
}

// ---- one lookup over many processes -------------------------------------------

int PerformanceReads = 0;
bool PerformanceReadFails = false;
constexpr DWORD Gone = 0xFFFFFF00, AlsoGone = 0xFFFFFF04, Notepad = 0xFFFFFF08; // no such processes

bool CountingReader(std::vector<BYTE> *data, DWORD *idProcessIndex)
{
    ++PerformanceReads;
    if (PerformanceReadFails)
        return false;
    *data = ProcessObject({{L"System", 2}, {L"notepad", Notepad}, {L"_Total", 0}});
    *idProcessIndex = IdProcessIndex;
    return true;
}

TEST(ProcessImagePath, OneLookupReadsThePerformanceDataAtMostOnce)
{
    InitProcessLookup();
    SetPerformanceDataReader(CountingReader);
    const DWORD self = GetCurrentProcessId();
    char own[MAX_PATH];
    GetModuleFileNameA(nullptr, own, sizeof own);
    const struct {
        std::vector<DWORD> processes;
        bool readFails;
        int reads;
        const char *found; // the results, "self" for the own path
    } rows[] = {
        {{self, self, self}, false, 0, "self|self|self"},
        {{Gone, AlsoGone, Notepad, Gone, self}, false, 1, "||notepad||self"},
        {{self, Notepad, Notepad}, false, 1, "self|notepad|notepad"},
        {{Gone, AlsoGone, Notepad}, true, 1, "||"},
    };
    for (const auto &row : rows) {
        PerformanceReads = 0;
        PerformanceReadFails = row.readFails;
        ProcessLookup lookup{};
        std::string found;
        for (size_t i = 0; i < row.processes.size(); ++i) {
            char path[IMAGE_PATH_CAPACITY];
            LookUpProcessImagePath(&lookup, row.processes[i], path, sizeof path);
            found += std::string(i ? "|" : "") + (lstrcmpiA(path, own) == 0 ? "self" : path);
        }
        EXPECT_EQ(PerformanceReads, row.reads) << row.found;
        EXPECT_EQ(found, row.found);
    }
    SetPerformanceDataReader(nullptr);
}

// A file without a short form, as every file has on a volume without short
// names: no path rather than one that names nothing.
TEST(AnsiPathOf, NoPathWhenNeitherFormCanBeSpelt)
{
    char ansi[MAX_PATH] = "x";
    std::wstring missing = driver::Wide(driver::BuildDir()) + L"\\\x041a.exe";
    EXPECT_EQ(AnsiPathOf(missing.c_str(), ansi, sizeof ansi), 0u);
    EXPECT_STREQ(ansi, "");
}

} // namespace
